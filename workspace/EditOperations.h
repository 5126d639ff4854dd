#pragma once
// The edit operations a batch run can name on the command line, as one table: flag, argument,
// help line, the step name in the edit history and the function that runs it. The command-line
// tool and the tests share the table, so every listed operation is checked for undo and redo.

#include "edit/Change.h"
#include "edit/History.h"
#include "edit/VertexOps.h"
#include "workspace/Workspace.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

// A run of vertex or polygon indices First .. Last, both included.
struct VertexRange {
    int First = 0;
    int Last = 0;
};

// The parsed argument of one operation; which fields are used depends on the operation.
struct EditArgs {
    std::string Text;                  // the argument as given, "" without one
    edit::Vec3 Values{0, 0, 0};        // a single number is Values[0]
    edit::Axes Axes{true, true, true}; // the MASK of --snap-position
    std::vector<VertexRange> Ranges;   // the LIST of --select-vertices and --select-polygons
    int Count = 1;                     // the N of --undo and --redo
    std::array<double, 4> Colour{};    // R,G,B,A of --set-color
    // --map-planar: the direction (an edit::MapDirection), zoom and centre in Values; the
    // texture in Textures[0]. --replace-texture: OLD and NEW, names or indices.
    int Direction = 0;
    std::vector<std::string> Textures;
};

// What an operation's argument looks like.
enum class EditArgKind {
    None,
    Number,        // one number: T, G, N
    Vector,        // X,Y,Z
    VectorAndMask, // X,Y,Z[,MASK]
    VertexList,    // LIST: indices and ranges "0-9", comma separated
    PolygonList,   // LIST, of polygons
    Colour,        // R,G,B,A
    OptionalCount, // [N]: present when the next argument is a plain non-negative integer
    Mapping,       // DIR,TEX[,ZOOM[,CX,CY]]
    TexturePair,   // OLD,NEW
};

struct EditOperationInfo {
    const char* Flag;     // "--weld"
    const char* Usage;    // "T", "" without an argument
    const char* Help;     // one line
    const char* StepName; // the step in the edit history; nullptr when it is no step of its own
    EditArgKind Arg;
    // Applies the operation, declaring what it changes to rec (a recorder that records nothing
    // when StepName is nullptr). Refusals are shown through ws.Ui and change nothing.
    edit::Change (*Apply)(Workspace& ws, edit::Recorder& rec, const EditArgs& args);
};

// Every operation, in the order the help lists them.
std::span<const EditOperationInfo> EditOperations();

// The operation with that flag; nullptr when there is none.
const EditOperationInfo* FindEditOperation(std::string_view flag);

struct EditOperation {
    const EditOperationInfo* Info = nullptr;
    EditArgs Args;
};

struct ParsedEdits {
    std::vector<EditOperation> Operations;
    std::string Error; // empty when every argument was understood; else it names the operation
};

// Parses flags and their arguments in order. An unknown flag, a missing argument or bad number
// text stops the parse with Error set.
ParsedEdits ParseEditOperations(std::span<const std::string> args);

// Runs one parsed operation: as one step of the edit history when it has a step name, else
// directly. Rotations turn about the selection centre when ws.Tools.AboutCentre is set, else
// about the origin. Returns what changed.
edit::Change RunEditOperation(Workspace& ws, const EditOperation& op);

} // namespace zv
