#pragma once
// Parts: named lists of polygons shown, hidden and saved together.
//
// Part g (from 1) is node g of the parts tree. Every function checks g and every member index
// before it touches a table: a bad part number does nothing, and a member that is not a
// polygon of the model is skipped.

#include "config/Settings.h"
#include "model/ModelStore.h"
#include "model/UserInterface.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace zv::edit {

// "Obj001" .. "Obj099", "Obj100" ...
std::string DefaultPartName(int number);

// name with blanks, control characters and path characters made "_". Saving takes a part's
// file name from its node text up to the first blank, so a blank would give every part the same
// file, and path characters would send the files elsewhere.
std::string FileNameSafe(std::string name);

// Creates a part from the selected polygons (the first 1280 in ascending order) and makes its
// node the selected one. Does nothing with 800 parts or with no selected polygon; an empty
// name gives the default name. Returns the new part's number, or 0 when none was made.
int AddPart(model::ModelStore& m, model::UserInterface& ui, const std::string& name);

// Creates a part of the polygons first .. first + count - 1 (at most 1280 of them), without
// going through the selection: a loader making one part per object of a file. Nothing with 800
// parts, with no such polygon, or with an empty range. Returns the new part's number or 0.
int AddPartOfPolygons(model::ModelStore& m, model::UserInterface& ui, const std::string& name, int first, int count);

// The name part g is saved under: its tree text up to the first blank (the whole text when it
// has none). "" when there is no part g.
std::string PartBaseName(const model::ModelStore& m, int g);

// The file name (without extension) part g is saved under: its base name with blanks, control
// and path characters made "_" (as "Rename Parts" does), so a name read from a file can never
// point outside the folder; the default name when the base name is empty. "" without part g.
std::string PartFileName(const model::ModelStore& m, int g);

// Removes every part; the caption becomes "Groups: 0".
void ClearParts(model::ModelStore& m, model::UserInterface& ui);

// Deletes the part of the selected node. The parts after it move down one, each with its
// members, name, node text and check mark; the polygons themselves stay as they are. The
// node now at the same place (else the new last one, else none) becomes the selected one.
// Returns false, changing nothing, when no part is selected.
bool DeletePart(model::ModelStore& m, model::UserInterface& ui);

// Every part that lists polygon p drops it (each time it is listed): the part's last member
// takes its place. A part left without members stays, so the other parts keep their numbers.
// Node texts keep the member count they were created with.
void RemovePolyFromParts(model::ModelStore& m, std::int32_t p);

// Every member of every part equal to from becomes to; a polygon deleter calls it for each
// polygon that moved down a slot.
void RenumberPartMembers(model::ModelStore& m, std::int32_t from, std::int32_t to);

// Applies a whole renumbering at once, for deleting many polygons without a pass over every
// part per moved polygon: member q becomes newIndex[q]; members mapped to a negative index,
// and members outside the map, are dropped as RemovePolyFromParts drops them.
void RemapPartMembers(model::ModelStore& m, std::span<const std::int32_t> newIndex);

// What the main window shows after a part was clicked.
struct PartSelection {
    int Number = 0;       // for the part-number box
    std::string BaseName; // the node text up to its first blank, for the name box
};

// Adds the member polygons of part g to the selection (nothing is deselected); with the
// "vertex mark" switch on, their corner vertices too. Redraws. nullopt, changing nothing,
// when there is no part g.
std::optional<PartSelection> SelectPart(model::ModelStore& m, model::UserInterface& ui,
                                        const config::Settings& settings, int g);

// The check mark of node g changed. Hiding clears the shown bit of the members, then
// recomputes the shown bit of every vertex from the polygons still shown, so shared vertices
// stay visible; showing sets the bit of the members and of their corner vertices. Stores the
// check mark and redraws. Does nothing when there is no part g.
void ShowPart(model::ModelStore& m, model::UserInterface& ui, int g, bool shown);

// "Show all": every polygon and vertex shown, every node checked. Redraws.
void ShowAllParts(model::ModelStore& m, model::UserInterface& ui);

// "Hide all": every polygon and vertex hidden, every node unchecked. Redraws.
void HideAllParts(model::ModelStore& m, model::UserInterface& ui);

// "Show selected": shows the members of every checked part and their corner vertices, without
// hiding anything. Redraws.
void ShowSelectedParts(model::ModelStore& m, model::UserInterface& ui);

// "Hide Check Vrls": hidden (true) or shown again (false) are the parts whose node text starts,
// in any case, with "XCHK", "XPITIN", "XPITOUT" or "XSTFN" (the games' check objects); their
// nodes are unticked or ticked and the vertices' shown bits follow the polygons still shown.
// Returns whether any part matched.
bool ShowCheckParts(model::ModelStore& m, model::UserInterface& ui, bool shown);

// Asks for a name of at most 5 characters and gives node k the text name + k in three digits
// ("WHEEL001"); part names stay. Blanks and characters a file name cannot hold become "_", so
// every part keeps a file name of its own. Needs a part; cancel or an empty answer changes
// nothing. Returns whether the nodes were renamed.
bool RenameParts(model::ModelStore& m, model::UserInterface& ui);

} // namespace zv::edit
