#include "render/ViewLayout.h"

#include "model/Numbers.h"

namespace zv::render {
namespace {

std::int32_t Fraction(std::int32_t size, double divisor) {
    return model::RoundToInt32(size / divisor);
}

} // namespace

LayoutResult LayOutViews(std::uint8_t viewType, std::int32_t width, std::int32_t height, bool rotateChecked,
                         const ViewLayout& current) {
    LayoutResult r;
    r.Layout = current;
    if (width < kMinLayoutWidth || height < 0 || viewType == 3) {
        return r;
    }
    ViewLayout& l = r.Layout;
    const ViewRect whole{0, 0, width, height};
    switch (viewType) {
    case 0:
        l.View1Visible = true;
        l.View4Visible = false;
        l.View1 = whole;
        l.ViewOffX = Fraction(width, 2);
        l.ViewOffY = Fraction(height, 2);
        break;
    case 2: {
        const std::int32_t top = height / 2;
        l.View1Visible = true;
        l.View4Visible = true;
        l.View1 = {0, 0, width, top};
        l.View4 = {0, top, width, height - top};
        l.ViewOffX = Fraction(width, 2);
        l.ViewOffY = Fraction(height, 4);
        break;
    }
    case 4:
        l.View1Visible = false;
        l.View4Visible = true;
        l.View4 = whole;
        break;
    default: {
        const std::int32_t left = width / 2;
        l.View1Visible = true;
        l.View4Visible = true;
        l.View1 = {0, 0, left, height};
        l.View4 = {left, 0, width - left, height};
        l.ViewOffX = Fraction(width, 4);
        l.ViewOffY = Fraction(height, 2);
        break;
    }
    }
    r.Changed = true;
    r.SetGlViewport = viewType != 0;
    r.Timer = viewType == 0   ? RotationTimer::Disable
              : rotateChecked ? RotationTimer::Enable
                              : RotationTimer::Disable;
    return r;
}

} // namespace zv::render
