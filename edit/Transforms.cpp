#include "edit/Transforms.h"

#include "edit/Selection.h"
#include "model/Columns.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace zv::edit {
namespace {

constexpr double kDegreesToRadians = 0.017453292;

// Applies f to every affected vertex, declaring the range that changes first.
template <class F> Change MapVertices(model::ModelStore& m, Recorder& rec, Affected which, F f) {
    const int count = model::UsedVertices(m);
    const auto affected = [&](int i) { return which == Affected::All || m.VertSel[i] != model::kFalse; };
    int first = -1, last = -1;
    std::vector<model::VertRec> moved;
    for (int i = 0; i < count; ++i) {
        if (!affected(i)) {
            continue;
        }
        const model::VertRec after = f(m.Vert[i]);
        if (std::memcmp(&after, &m.Vert[i], sizeof after) != 0) {
            first = first < 0 ? i : first;
            last = i;
        }
    }
    if (first < 0) {
        return kNoChange;
    }
    rec.Vertices(first, last + 1);
    for (int i = first; i <= last; ++i) {
        if (affected(i)) {
            m.Vert[i] = f(m.Vert[i]);
        }
    }
    return Change::Geometry;
}

float Add(float c, double d) {
    return static_cast<float>(static_cast<double>(c) + d);
}

float Times(float c, double f) {
    return static_cast<float>(static_cast<double>(c) * f);
}

// One plane rotation with single-precision entries: (a, b) -> (a cos + b sin, -a sin + b cos).
void Turn(float& a, float& b, float cosine, float sine) {
    const double na = static_cast<double>(a) * cosine + static_cast<double>(b) * sine;
    const double nb = -static_cast<double>(a) * sine + static_cast<double>(b) * cosine;
    a = static_cast<float>(na);
    b = static_cast<float>(nb);
}

struct Rotation {
    bool On[3];
    float Cos[3];
    float Sin[3];
    model::Point3d Centre;
    bool AboutCentre;

    model::VertRec operator()(model::VertRec v) const {
        if (AboutCentre) {
            v = {Add(v.X, -Centre.X), Add(v.Y, -Centre.Y), Add(v.Z, -Centre.Z)};
        }
        if (On[0]) {
            Turn(v.Y, v.Z, Cos[0], Sin[0]);
        }
        if (On[1]) {
            // x' = x cos - z sin, z' = x sin + z cos
            Turn(v.X, v.Z, Cos[1], -Sin[1]);
        }
        if (On[2]) {
            Turn(v.X, v.Y, Cos[2], Sin[2]);
        }
        if (AboutCentre) {
            v = {Add(v.X, Centre.X), Add(v.Y, Centre.Y), Add(v.Z, Centre.Z)};
        }
        return v;
    }
};

float& Axis(model::VertRec& v, int a) {
    return a == 0 ? v.X : a == 1 ? v.Y : v.Z;
}

double Axis(const model::Point3d& p, int a) {
    return a == 0 ? p.X : a == 1 ? p.Y : p.Z;
}

} // namespace

Change Resize(model::ModelStore& m, Recorder& rec, const Vec3& factors, Affected which) {
    return MapVertices(m, rec, which, [&](const model::VertRec& v) {
        return model::VertRec{Times(v.X, factors[0]), Times(v.Y, factors[1]), Times(v.Z, factors[2])};
    });
}

Change Translate(model::ModelStore& m, Recorder& rec, const Vec3& offsets, Affected which) {
    return MapVertices(m, rec, which, [&](const model::VertRec& v) {
        return model::VertRec{Add(v.X, offsets[0]), Add(v.Y, offsets[1]), Add(v.Z, offsets[2])};
    });
}

Change Rotate(model::ModelStore& m, Recorder& rec, const Vec3& degrees, bool aboutCentre) {
    Rotation r{};
    r.AboutCentre = aboutCentre;
    if (aboutCentre) {
        if (!ComputeSelectionBox(m)) {
            return kNoChange; // nothing selected
        }
        r.Centre = m.Selection.SelCenter;
    }
    for (std::size_t a = 0; a < 3; ++a) {
        const double radians = degrees[a] * kDegreesToRadians;
        r.On[a] = degrees[a] != 0;
        r.Cos[a] = static_cast<float>(std::cos(radians));
        r.Sin[a] = static_cast<float>(std::sin(radians));
    }
    return MapVertices(m, rec, Affected::Selected, r);
}

Change MoveSelected(model::ModelStore& m, Recorder& rec, const Vec3& offset) {
    return Translate(m, rec, offset, Affected::Selected);
}

Change ScaleSelectedAlong(model::ModelStore& m, Recorder& rec, int axis, double factor) {
    if (axis < 0 || axis > 2 || !ComputeSelectionBox(m)) {
        return kNoChange;
    }
    const double centre = Axis(m.Selection.SelCenter, axis);
    return MapVertices(m, rec, Affected::Selected, [&](model::VertRec v) {
        float& c = Axis(v, axis);
        c = static_cast<float>(centre + (static_cast<double>(c) - centre) * factor);
        return v;
    });
}

Change RotateSelectedAbout(model::ModelStore& m, Recorder& rec, int axis, double degrees) {
    if (axis < 0 || axis > 2) {
        return kNoChange;
    }
    Vec3 angles{0, 0, 0};
    angles[static_cast<std::size_t>(axis)] = degrees;
    return Rotate(m, rec, angles, true);
}

ResizeForm OpenResize(model::ModelStore& m, bool selectedOnly) {
    ResizeForm f;
    if (selectedOnly) {
        if (ComputeSelectionBox(m)) {
            const model::Point3d& s = m.Selection.SelSize;
            f.Old = {s.X, s.Y, s.Z};
        }
    } else if (model::UsedVertices(m) > 0) {
        model::VertRec lo = m.Vert[0], hi = m.Vert[0];
        for (int i = 1; i < model::UsedVertices(m); ++i) {
            const model::VertRec& v = m.Vert[i];
            lo = {std::min(lo.X, v.X), std::min(lo.Y, v.Y), std::min(lo.Z, v.Z)};
            hi = {std::max(hi.X, v.X), std::max(hi.Y, v.Y), std::max(hi.Z, v.Z)};
        }
        f.Old = {std::abs(static_cast<double>(hi.X) - lo.X), std::abs(static_cast<double>(hi.Y) - lo.Y),
                 std::abs(static_cast<double>(hi.Z) - lo.Z)};
    }
    f.New = f.Old;
    return f;
}

void NewSizeEdited(ResizeForm& f, int a) {
    for (std::size_t b = 0; b < 3; ++b) {
        f.Factor[b] = f.Old[b] != 0 ? f.New[b] / f.Old[b] : 1;
    }
    if (f.KeepProportions) {
        for (std::size_t b = 0; b < 3; ++b) {
            if (static_cast<int>(b) != a) {
                f.Factor[b] = f.Factor[static_cast<std::size_t>(a)];
                f.New[b] = f.Old[b] * f.Factor[b];
            }
        }
    }
}

void FactorEdited(ResizeForm& f, int a) {
    if (f.KeepProportions) {
        for (std::size_t b = 0; b < 3; ++b) {
            f.Factor[b] = f.Factor[static_cast<std::size_t>(a)];
        }
    }
    for (std::size_t b = 0; b < 3; ++b) {
        f.New[b] = f.Old[b] * f.Factor[b];
    }
}

void OldValues(ResizeForm& f) {
    f.New = f.Old;
    f.Factor = {1, 1, 1};
}

} // namespace zv::edit
