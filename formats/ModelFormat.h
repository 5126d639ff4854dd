#pragma once
// One table of the model formats: what each is called, how its files are recognised, what its
// messages say, and how it is read. Every front end (the File menu, drops, zorvane-cli) takes
// its format lists from the table; one shared open runs the common steps of every importer.

#include "config/Settings.h"
#include "formats/ByteReader.h"
#include "model/ModelStore.h"
#include "model/UserInterface.h"
#include "workspace/ModelLifecycle.h"
#include "workspace/Workspace.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zv::formats {

// A run of the decoded polygons that becomes a part named Name (First counts from the job's
// PolyBase). A run longer than a part can hold becomes several parts of that name.
using NamedPart = PartRun;

// One decode of a file into the model store. The decoder writes vertex rows from VertBase and
// polygon rows from PolyBase (corners, texture coordinates, PolyTex as an index into
// TextureNames, PolyType, colours, PolyFlag); it never changes the store's counts, parts,
// selection or texture names: the shared open does that from the results.
//
// Every count, offset and index read from the file is checked against the file size and the
// store's capacities (model::kVertexCapacity - VertBase, model::kPolygonCapacity - PolyBase,
// model::kTextureCapacity, model::kMaxParts) before it is used; a fault throws ReadError with
// the 1-based file position of the element (text formats: of the line) and an
// optional detail line. Vertices and Polygons always say how much is complete, so that a format
// that keeps complete objects after a fault keeps exactly those.
struct DecodeJob {
    // In.
    std::span<const std::uint8_t> Bytes;
    std::string Path;
    model::ModelStore& Model;
    int VertBase = 0;
    int PolyBase = 0;
    model::UserInterface& Ui;         // questions only (a track file's section); no messages
    const config::Settings& Settings; // folders of other files a format reads
    std::optional<int> Section = {};  // a track file's section when already chosen (the command line)

    // Out.
    int Vertices = 0;                      // complete vertex rows written from VertBase
    int Polygons = 0;                      // complete polygon rows written from PolyBase
    std::vector<std::string> TextureNames = {}; // PolyTex of the written polygons indexes these
    std::vector<NamedPart> Parts = {};          // none: one part named after the file
    bool Cancelled = false;                // the user cancelled a question: nothing is imported
    std::optional<int> Normals = {};            // the file's normal table, when it has one (NrmCount)
    std::shared_ptr<void> Prepared = {};        // what a format's Check read, for its Decode
};

// What is kept of a file that has a fault.
enum class OnFault {
    KeepComplete, // the complete objects (polygons whose corners are all read) stay
    KeepNothing,  // the model is left empty, without parts
};

struct ModelFormat {
    std::string_view Name;                    // the command line's --format word
    std::string_view Label;                   // for help texts and listings
    std::vector<std::string_view> Extensions; // lower case with the dot, ".m3d"
    bool ExtensionDecides = false;            // the extension alone picks this format
    std::string_view NotFoundTitle;           // message title when the file is missing
    std::string_view ErrorTitle;              // message title of a fault ("Error at Filepos. " ...)
    // A cheap check of the first bytes where the format has a tag; null when it has none.
    bool (*Sniff)(std::span<const std::uint8_t> head) = nullptr;
    // Runs before the model is emptied: questions (a track's section) and whatever must leave
    // the model as it was when it fails (a section that is not in the file). Throws ReadError;
    // may set job.Cancelled or job.Section. Null when there is nothing to do first.
    void (*Check)(DecodeJob& job) = nullptr;
    // The decoder of the shared open; null for formats with a sequence of their own.
    void (*Decode)(DecodeJob& job) = nullptr;
    OnFault Fault = OnFault::KeepComplete;
    TextureFiles Textures = TextureFiles::Bmp;
    // Formats with a sequence of their own (VRL and BIN with their messages, the truck that
    // assembles several files). Open replaces the model; Merge (null: no merge) appends.
    bool (*Open)(Workspace& ws, const std::string& path) = nullptr;
    bool (*Merge)(Workspace& ws, const std::string& path) = nullptr;
    // Writing the whole model in this format; null when the format is read only.
    bool (*Save)(Workspace& ws, const std::string& path) = nullptr;
    // The editor's menu item and file dialog ("" when the format has no item of its own).
    std::string_view Menu;        // "mnuFile1"
    int MenuIndex = -1;
    std::string_view DialogTitle; // "Open Model Asc-Format"
    std::string_view DialogFilter;
};

// Every model format, in the order help texts list them.
std::span<const ModelFormat> ModelFormats();

// Formats a front end adds to the table at start-up (the interchange formats, which the core
// does not link). Only before the table is first used: it is fixed from then on, so pointers to
// its entries stay valid. Throws std::logic_error when called later.
void AddFormats(std::vector<ModelFormat> extra);

// The format of that --format word; null when there is none.
const ModelFormat* FindFormat(std::string_view name);

// The format whose extension alone decides for path (case-insensitive); null otherwise.
const ModelFormat* FormatForPath(const std::string& path);

// The format of the file at path: the one its extension decides, else the one format with
// that extension whose tag check accepts the file's first bytes; null when neither tells.
const ModelFormat* FormatForFile(const std::string& path);

// "scgt, f1, bin, m3d, ..." for help texts; readable or writable ones.
std::string FormatNames(bool writableOnly);

// Options of one open.
struct OpenOptions {
    std::optional<int> Section; // a BFP track's section (otherwise the user is asked)
};

// The shared open: a path shorter than 5 characters does nothing; a missing file shows the
// format's NotFoundTitle; then the model is emptied (the edit history is cleared), "Loading
// Model: " and the path go to the status line, the file is decoded, and the result becomes the
// model: counts, texture names (loaded as a VRL model's are), one part per NamedPart or one
// named after the file, every polygon selected and shown, the caption. A fault shows the
// format's ErrorTitle with "Error at Filepos. " and the position (and the detail line) and keeps
// what the format's OnFault says. Formats with their own Open run it. Returns true when the
// whole file was read.
bool OpenModelFile(Workspace& ws, const ModelFormat& format, const std::string& path, const OpenOptions& o = {});

// Merges path into the model as one step of the edit history; false (nothing) for a format
// without a merge.
bool MergeModelFile(Workspace& ws, const ModelFormat& format, const std::string& path);

} // namespace zv::formats
