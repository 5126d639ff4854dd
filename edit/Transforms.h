#pragma once
// The numeric transforms (resize, translate, rotate), the moves of the nudge keys and of a
// vertex drag, and the resize panel's arithmetic. Transforms change vertex positions only;
// polygons follow their vertices.

#include "edit/Change.h"
#include "edit/History.h"
#include "edit/VertexOps.h"
#include "model/ModelStore.h"

namespace zv::edit {

// Which vertices a resize or translate acts on: the selected ones ("toggle_vert" pressed) or
// all vertices 0 .. VertCount - 1.
enum class Affected { Selected, All };

// Every affected vertex is multiplied by the factors (in double precision, stored as single),
// about the origin of model space.
Change Resize(model::ModelStore& m, Recorder& rec, const Vec3& factors, Affected which);

// Every affected vertex gets the offsets added.
Change Translate(model::ModelStore& m, Recorder& rec, const Vec3& offsets, Affected which);

// Turns the selected vertices (always the selected ones) by the angles in degrees about X, then
// Y, then Z, about the selection box's centre when aboutCentre is set, else about the origin.
// An angle of 0 is skipped; the matrix entries are single precision.
Change Rotate(model::ModelStore& m, Recorder& rec, const Vec3& degrees, bool aboutCentre);

// The nudge keys and the vertex drag: every selected vertex moves by the offset.
Change MoveSelected(model::ModelStore& m, Recorder& rec, const Vec3& offset);

// The nudge keys with "scale" pressed: the selected vertices scale along one axis (0 X, 1 Y,
// 2 Z) by factor about the selection centre.
Change ScaleSelectedAlong(model::ModelStore& m, Recorder& rec, int axis, double factor);

// The nudge keys with "rotate" pressed: the selected vertices turn about one axis by degrees
// about the selection centre.
Change RotateSelectedAbout(model::ModelStore& m, Recorder& rec, int axis, double degrees);

// The resize panel: old sizes, new sizes, factors and "Keep Proportions".
struct ResizeForm {
    Vec3 Old{0, 0, 0};
    Vec3 New{0, 0, 0};
    Vec3 Factor{1, 1, 1};
    bool KeepProportions = false;
};

// Opening the panel: the extents of the selection box (selectedOnly) or of all vertices as the
// old and new sizes, factors 1. Without vertices the sizes are 0.
ResizeForm OpenResize(model::ModelStore& m, bool selectedOnly);

// A new size of axis a was typed: every factor is new / old (1 where the old size is 0); with
// "Keep Proportions" the other two axes take axis a's factor and their new sizes follow.
void NewSizeEdited(ResizeForm& f, int a);

// A factor of axis a was typed: the new sizes follow the factors; with "Keep Proportions" the
// other two factors become axis a's first.
void FactorEdited(ResizeForm& f, int a);

// "Old Values": new sizes back to the old ones, factors 1.
void OldValues(ResizeForm& f);

} // namespace zv::edit
