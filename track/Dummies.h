#pragma once
// Dummy objects: named placeholder positions of a track scene (instances without a model of
// their own, such as markers placed with "InsStart"). They come from scene files, are added,
// removed and moved in the editor, drawn as numbers over the wireframe view and written as a
// scene file fragment of their own.

#include "edit/Change.h"
#include "edit/History.h"
#include "model/UserInterface.h"
#include "render/Overlays.h"
#include "render/WireframeView.h"
#include "track/Path.h"

#include <string>
#include <vector>

namespace zv::track {

// The most dummies the table (and the dummy window's list) holds.
inline constexpr int kDummyCapacity = 256;

struct Dummy {
    std::string Name; // as given; the scene writer uses it up to its first blank, in lower case
    Vec3 Pos{};
    bool Sel = false;
    friend bool operator==(const Dummy&, const Dummy&) = default;
};

// The dummy part of the document. Name, position and selection of a dummy are one record, so
// deleting one can never leave another's flag behind.
struct DummyTable {
    std::vector<Dummy> Items;
    int Count() const { return static_cast<int>(Items.size()); }
    friend bool operator==(const DummyTable&, const DummyTable&) = default;
};

// Declares that the running command changes the dummies: the step keeps a copy, undo swaps it.
void RecordDummies(edit::Recorder& rec, DummyTable& d);

// "Obj001" .. "Obj099", "Obj100" ...: the name of dummy number (from 1) when none is given.
std::string DefaultDummyName(int number);

// "Dummies: " and the count: the dummy window's caption.
std::string DummiesCaption(const DummyTable& d);

// Appends a dummy named name (the default name of its number when empty) at pos. Nothing at
// kDummyCapacity (kNoChange).
edit::Change AddDummy(DummyTable& d, edit::Recorder& rec, const std::string& name, const Vec3& pos);

// Removes dummy index; the ones after it move down with their names and flags. Nothing for an
// index that is not a dummy.
edit::Change RemoveDummy(DummyTable& d, edit::Recorder& rec, int index);

// Adds (dx, dy, dz) to every selected dummy; nothing when none is selected.
edit::Change TranslateSelectedDummies(DummyTable& d, edit::Recorder& rec, float dx, float dy, float dz);

// The dummy scene file ("Group=~dummydba", one instance per dummy on ls000.vrl), CR LF lines.
std::string DummySceneText(const DummyTable& d);

// Writes DummySceneText to path through the safe replacement; "Can't save Dummy Scene File"
// (title "Save Error") when that fails. Returns whether it was written.
bool WriteDummyScene(model::UserInterface& ui, const DummyTable& d, const std::string& path);

// Looks of the dummy numbers over the wireframe view.
inline constexpr render::Colour kDummyColour = 80 + 256 * 220 + 65536 * 255;  // light blue
inline constexpr render::Colour kSelectedDummyColour = 255 + 256 * 64;        // orange-red

// Draws each dummy's index at its projected position, 5 pixels left of and above it.
class DummyOverlay : public render::Overlays {
public:
    explicit DummyOverlay(const DummyTable& d) : d_(d) {}
    void DrawDummies(render::Canvas& canvas, const render::WireframeView& view) override;

private:
    const DummyTable& d_;
};

// The first dummy (in index order) under (px, py) by the square pick rule; -1 when none.
int PickDummy(const DummyTable& d, const render::WireframeView& view, float px, float py, float radius);

// "Dummy Object " and the index, with "    x: ", "  y: ", "  z: " and the position: the status
// line of a picked dummy.
std::string DummyPickText(const DummyTable& d, int index);

} // namespace zv::track
