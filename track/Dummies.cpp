#include "track/Dummies.h"

#include "config/ConfigFormat.h"
#include "model/FileReplace.h"
#include "model/Paths.h"
#include "render/Picking.h"
#include "track/PathDrawing.h"
#include "waypoints/AiwNumbers.h"

#include <cmath>

namespace zv::track {
namespace {

std::size_t DummyBytes(const DummyTable& d) {
    std::size_t bytes = sizeof(d) + d.Items.capacity() * sizeof(Dummy);
    for (const Dummy& x : d.Items) {
        bytes += x.Name.capacity();
    }
    return bytes;
}

// The name a scene instance gets: the text up to the first blank, in lower case.
std::string InstanceName(const std::string& name) {
    std::string out = name.substr(0, name.find(' '));
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

} // namespace

void RecordDummies(edit::Recorder& rec, DummyTable& d) {
    edit::RecordWhole(rec, d, DummyBytes);
}

std::string DefaultDummyName(int number) {
    const char* prefix = number < 10 ? "Obj00" : number < 100 ? "Obj0" : "Obj";
    return prefix + std::to_string(number);
}

std::string DummiesCaption(const DummyTable& d) {
    return "Dummies: " + std::to_string(d.Count());
}

edit::Change AddDummy(DummyTable& d, edit::Recorder& rec, const std::string& name, const Vec3& pos) {
    if (d.Count() >= kDummyCapacity) {
        return edit::kNoChange;
    }
    RecordDummies(rec, d);
    d.Items.push_back({name.empty() ? DefaultDummyName(d.Count() + 1) : name, pos, false});
    return edit::Change::Dummies;
}

edit::Change RemoveDummy(DummyTable& d, edit::Recorder& rec, int index) {
    if (index < 0 || index >= d.Count()) {
        return edit::kNoChange;
    }
    RecordDummies(rec, d);
    d.Items.erase(d.Items.begin() + index);
    return edit::Change::Dummies;
}

edit::Change TranslateSelectedDummies(DummyTable& d, edit::Recorder& rec, float dx, float dy, float dz) {
    bool any = false;
    for (const Dummy& x : d.Items) {
        any = any || x.Sel;
    }
    if (!any) {
        return edit::kNoChange;
    }
    RecordDummies(rec, d);
    for (Dummy& x : d.Items) {
        if (x.Sel) {
            x.Pos[0] += dx;
            x.Pos[1] += dy;
            x.Pos[2] += dz;
        }
    }
    return edit::Change::Dummies;
}

std::string DummySceneText(const DummyTable& d) {
    constexpr const char* kRule = "//------------------------------------------------\r\n";
    std::string out;
    out.reserve(64 + static_cast<std::size_t>(d.Count()) * 320);
    out += kRule;
    out += kRule;
    out += "Group=~dummydba\r\n{\r\n";
    for (const Dummy& x : d.Items) {
        out += "  Instance=" + InstanceName(x.Name) + "\r\n";
        out += "  {\r\n";
        out += "    InsStart=(";
        for (std::size_t k = 0; k < 3; ++k) {
            if (k > 0) {
                out += ',';
            }
            waypoints::AppendDecimals(out, x.Pos[k], 2);
        }
        out += ") InsOrient=(0.0, 0.0, 0.0)InsLocalize=True InsChange=False InsBillBoard=True\r\n";
        out += "    ObjFile=ls000.vrl LODIn=(0.00) LODMid=(75.00) LODOut=(275.00) HatTarget=False "
               "CollTarget=False\r\n";
        out += "  }\r\n";
    }
    out += "}\r\n";
    return out;
}

bool WriteDummyScene(model::UserInterface& ui, const DummyTable& d, const std::string& path) {
    if (model::ReplaceFile(path, DummySceneText(d))) {
        ui.ShowMessage("Save Error", "Can't save Dummy Scene File", model::MessageIcon::Warning,
                       model::MessageButtons::Ok);
        return false;
    }
    return true;
}

void DummyOverlay::DrawDummies(render::Canvas& canvas, const render::WireframeView& view) {
    const render::Projection project(view);
    for (int i = 0; i < d_.Count(); ++i) {
        const Dummy& x = d_.Items[static_cast<std::size_t>(i)];
        const render::ScreenPos s = project(PointOf(x.Pos));
        if (!std::isfinite(s.X) || !std::isfinite(s.Y) || s.X < -64 || s.Y < -64 || s.X > view.ViewWidth + 64 ||
            s.Y > view.ViewHeight + 64) {
            continue; // far outside the view: nothing of the number would show
        }
        canvas.Text(render::ToPixel(s.X) - 5, render::ToPixel(s.Y) - 5, std::to_string(i),
                    x.Sel ? kSelectedDummyColour : kDummyColour);
    }
}

int PickDummy(const DummyTable& d, const render::WireframeView& view, float px, float py, float radius) {
    const render::Projection project(view);
    return render::PickFirst(
        d.Count(), [&](int i) { return project(PointOf(d.Items[static_cast<std::size_t>(i)].Pos)); },
        [](int) { return true; }, px, py, radius);
}

std::string DummyPickText(const DummyTable& d, int index) {
    if (index < 0 || index >= d.Count()) {
        return {};
    }
    const Vec3& p = d.Items[static_cast<std::size_t>(index)].Pos;
    return "Dummy Object " + std::to_string(index) + "    x: " + config::FormatSingle(p[0]) +
           "  y: " + config::FormatSingle(p[1]) + "  z: " + config::FormatSingle(p[2]);
}

} // namespace zv::track
