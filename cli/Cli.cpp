#include "cli/Cli.h"

#include "cli/AiwCommand.h"
#include "cli/ArgParse.h"
#include "cli/BatchConvert.h"
#include "cli/ConsoleUi.h"
#include "cli/DummyCommand.h"
#include "cli/ModelJson.h"
#include "cli/PathCommand.h"
#include "cli/SceneCommand.h"
#include "cli/TrackCommand.h"
#include "config/ConfigFile.h"
#include "formats/BinFormat.h"
#include "formats/FileBytes.h"
#include "formats/ModelFormat.h"
#include "formats/VrlReader.h"
#include "formats/VrlWriter.h"
#include "interchange/Interchange.h"
#include "model/Columns.h"
#include "model/ModelInfo.h"
#include "model/Paths.h"
#include "textures/TextureLoader.h"
#include "workspace/EditOperations.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

#include <unistd.h>

namespace zv::cli {
namespace {

constexpr const char* kUsage =
    "usage: zorvane-cli COMMAND [OPTIONS] FILE...\n"
    "\n"
    "commands:\n"
    "  info     open a model (merging further files) and print its report\n"
    "  dump     print the model store of one file as JSON\n"
    "  convert  open a model and save the whole of it in another format\n"
    "  edit     open a model, apply edit operations in order and save the result\n"
    "  parts    open a model and save every part as its own VRL file\n"
    "  raw2bmp  convert an MTM2 RAW texture with its palette to a 24-bit BMP\n"
    "  aiw      print, convert, edit or make an AIW waypoint file (zorvane-cli aiw --help)\n"
    "  path     print, convert, derive or draw a path file (zorvane-cli path --help)\n"
    "  track    build the track model along a path file (zorvane-cli track --help)\n"
    "  formats  list the model formats\n"
    "  scene    open the objects of a scene file into one model, or correct them\n"
    "           (zorvane-cli scene --help)\n"
    "  dummies  add, move and delete the dummy objects of a scene (zorvane-cli dummies --help)\n"
    "\n"
    "Formats: see 'zorvane-cli formats'. Without an option the extension decides where it can.\n"
    "Run 'zorvane-cli COMMAND --help' for a command's options.\n"
    "Run 'zorvane-cli --version' for the version.\n";

// A format of the table; never null once chosen.
using Format = const formats::ModelFormat*;

// Where convert and edit write: a format of the table that has a writer, else one that Assimp
// writes (the interchange formats are read through the table but written by ExportModel).
struct Target {
    Format Table = nullptr;
    std::string ExportId;  // when Table is null
    std::string Extension; // with the dot: the name --out-dir gives the files
};

struct Options {
    std::optional<Format> From; // --format or --from
    std::optional<Target> To;
    std::vector<std::string> Files;
    std::string OutDir; // convert: many files into this folder
    int Jobs = 0;       // --jobs (0: one per hardware thread)
    bool Help = false;
    bool Textures = false;               // --textures
    std::string Palette;                 // --palette
    bool AboutOrigin = false;            // --about-origin
    std::vector<std::string> Operations; // edit: everything from the first operation on
    std::optional<int> Section;          // --section: a track file's section
};

struct UsageError {
    std::string Text;
};

struct Command {
    const char* Name;
    std::string Usage;
    std::set<std::string> Flags; // the options it takes
    int (*Run)(const Options&, const std::string&, std::ostream&, std::ostream&);
};

std::optional<Format> ParseFormat(const std::string& name) {
    if (const formats::ModelFormat* f = formats::FindFormat(name)) {
        return f;
    }
    return std::nullopt;
}

std::string LowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

// The Assimp writer of a word: an extension ("glb", "fbx") first, so that "gltf" means glTF 2
// as the first writer of .gltf, then an exporter's id ("gltf2", "fbxa").
std::optional<Target> ExportTarget(const std::string& word) {
    const std::string w = LowerAscii(word);
    const std::vector<interchange::ExportFormat> all = interchange::ExportFormats();
    auto e =
        std::find_if(all.begin(), all.end(), [&](const auto& f) { return LowerAscii(f.Extension) == w; });
    if (e == all.end()) {
        e = std::find_if(all.begin(), all.end(), [&](const auto& f) { return f.Id == w; });
    }
    if (e == all.end()) {
        return std::nullopt;
    }
    return Target{nullptr, e->Id, "." + e->Extension};
}

Target TableTarget(Format f) {
    return {f, {}, f->Extensions.empty() ? std::string() : std::string(f->Extensions.front())};
}

// What --to names: a table format with a writer, else an Assimp writer.
std::optional<Target> ParseTarget(const std::string& word) {
    if (const formats::ModelFormat* f = formats::FindFormat(word); f != nullptr && f->Save != nullptr) {
        return TableTarget(f);
    }
    return ExportTarget(word);
}

// "scgt, f1, bin, glb, gltf, obj, fbx, ..." : every word --to takes.
std::string WritableNames() {
    std::string names = formats::FormatNames(true);
    std::set<std::string> seen;
    for (const interchange::ExportFormat& f : interchange::ExportFormats()) {
        if (seen.insert(f.Extension).second) {
            names += ", " + f.Extension;
        }
    }
    return names;
}

// The help texts name the formats of the table: {formats} every one, {writable} those written.
std::string WithFormats(std::string text) {
    for (const auto& [key, names] : {std::pair<std::string, std::string>{"{formats}", formats::FormatNames(false)},
                                     std::pair<std::string, std::string>{"{writable}", WritableNames()}}) {
        for (std::size_t at; (at = text.find(key)) != std::string::npos;) {
            text.replace(at, key.size(), names);
        }
    }
    return text;
}

// Parses the options of a command; throws UsageError.
Options ParseOptions(const Command& cmd, const std::vector<std::string>& args) {
    Options o;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.Help = true;
        } else if (a == "--textures" && cmd.Flags.count(a) != 0) {
            o.Textures = true;
        } else if (a == "--about-origin" && cmd.Flags.count(a) != 0) {
            o.AboutOrigin = true;
        } else if (std::string(cmd.Name) == "edit" && FindEditOperation(a) != nullptr) {
            o.Operations.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        } else if (a == "--section" && cmd.Flags.count(a) != 0) {
            const std::optional<long> n = i + 1 < args.size() ? ParseWhole(args[i + 1]) : std::nullopt;
            if (!n || *n < 0 || *n > 255) {
                throw UsageError{"--section needs a number 0 .. 255"};
            }
            o.Section = static_cast<int>(*n);
            ++i;
        } else if (a == "--jobs" && cmd.Flags.count(a) != 0) {
            const std::optional<long> n = i + 1 < args.size() ? ParseWhole(args[i + 1]) : std::nullopt;
            if (!n || *n < 1 || *n > 256) {
                throw UsageError{"--jobs needs a number 1 .. 256"};
            }
            o.Jobs = static_cast<int>(*n);
            ++i;
        } else if (a == "--out-dir" && cmd.Flags.count(a) != 0) {
            if (i + 1 >= args.size()) {
                throw UsageError{a + " needs a FOLDER"};
            }
            o.OutDir = args[++i];
        } else if (a == "--to" && cmd.Flags.count(a) != 0) {
            if (i + 1 >= args.size()) {
                throw UsageError{a + " needs a format (" + WritableNames() + ")"};
            }
            const std::optional<Target> t = ParseTarget(args[++i]);
            const bool vrl = t && t->Table != nullptr && (t->Table->Name == "scgt" || t->Table->Name == "f1");
            if (!t || (!vrl && std::string(cmd.Name) == "parts")) {
                throw UsageError{"unknown format '" + args[i] + "' for " + a};
            }
            o.To = t;
        } else if (a == "--palette" && cmd.Flags.count(a) != 0) {
            if (i + 1 >= args.size()) {
                throw UsageError{a + " needs a FILE"};
            }
            o.Palette = args[++i];
        } else if (cmd.Flags.count(a) != 0) {
            if (i + 1 >= args.size()) {
                throw UsageError{a + " needs a format (" + formats::FormatNames(false) + ")"};
            }
            const auto f = ParseFormat(args[++i]);
            if (!f) {
                throw UsageError{"unknown format '" + args[i] + "' for " + a};
            }
            o.From = f;
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError{"unknown option '" + a + "'"};
        } else {
            o.Files.push_back(a);
        }
    }
    return o;
}

// The format of a file: the option when given, else its extension.
Format FormatOf(const std::optional<Format>& given, const std::string& path) {
    if (given) {
        return *given;
    }
    if (const formats::ModelFormat* f = formats::FormatForFile(path)) {
        return f;
    }
    throw UsageError{"cannot tell the format of '" + path + "' from its extension; name it with an option"};
}

// Where OUT is written: the option when given, else the table format of its extension when that
// has a writer, else the Assimp writer of its extension.
Target TargetOf(const std::optional<Target>& given, const std::string& path) {
    if (given) {
        return *given;
    }
    const formats::ModelFormat* f = formats::FormatForFile(path);
    if (f != nullptr && f->Save != nullptr) {
        return TableTarget(f);
    }
    const std::string extension = std::filesystem::path(path).extension().string();
    if (std::optional<Target> e = extension.size() > 1 ? ExportTarget(extension.substr(1)) : std::nullopt) {
        return *e;
    }
    if (f != nullptr) {
        throw UsageError{std::string(f->Name) + " files are read only; save as " + WritableNames()};
    }
    throw UsageError{"cannot tell the format of '" + path + "' from its extension; name it with an option"};
}

formats::VrlVariant VariantOf(Format f) {
    return f->Name == "f1" ? formats::VrlVariant::F1_2000 : formats::VrlVariant::Scgt;
}

// The console port, keeping the texture list so that info can print it.
class SessionUi : public ConsoleUi {
public:
    using ConsoleUi::ConsoleUi;
    void ClearTextureLists() override { TextureList.clear(); }
    void AppendTextureList(std::string_view text) override { TextureList.emplace_back(text); }
    std::vector<std::string> TextureList;
};

// A workspace with the console port and the configured settings (textures are loaded only on
// request).
struct Session {
    Session(std::ostream& err, const std::string& configPath, bool loadTextures = false) : Ui(err), Ws(Ui) {
        if (!configPath.empty() && formats::IsFile(configPath)) {
            config::LoadConfig(configPath, Ws.Settings, Ui, config::MissingFile::Quiet);
        }
        Ws.Settings.LoadTexturesOnOpen = loadTextures;
    }
    SessionUi Ui;
    Workspace Ws;
};

bool Load(Session& s, const std::string& path, Format f, bool merge, const std::optional<int>& section) {
    if (merge) {
        if (f->Merge == nullptr) {
            throw UsageError{std::string(f->Name) + " files cannot be merged: give one FILE"};
        }
        return f->Merge(s.Ws, path);
    }
    return formats::OpenModelFile(s.Ws, *f, path, {section.value_or(0)}); // no one to ask
}

// Opens the first file and merges the rest; false after a failure, which has been reported.
bool LoadFiles(Session& s, const std::vector<std::string>& files, const Options& o, std::ostream& err) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        const int before = s.Ui.MessageCount();
        if (!Load(s, files[i], FormatOf(o.From, files[i]), i > 0, o.Section)) {
            if (s.Ui.MessageCount() == before) {
                err << "zorvane-cli: cannot read '" << files[i] << "'\n";
            }
            return false;
        }
    }
    return true;
}

std::string CrToLf(std::string text) {
    std::replace(text.begin(), text.end(), '\r', '\n');
    return text;
}

void PrintInfo(Session& s, std::ostream& out, bool textureList) {
    model::ModelStore& m = s.Ws.Model;
    out << model::TitleLine(m) << '\n';
    out << CrToLf(model::ModelInfoText(m, s.Ws.Textures.TexLoadCount)) << '\n';
    out << "Parts: " << m.PartCount() << '\n';
    for (const model::PartNode& node : m.PartNodes) {
        out << node.Text << '\n';
    }
    out << "Textures: " << m.TexCount << '\n';
    for (int t = 0; t < m.TexCount; ++t) {
        out << m.TexName[t] << '\n';
    }
    if (!textureList) {
        return;
    }
    // One line per texture slot: its list entry, a tab, and the size in the texture table.
    out << "Texture list:\n";
    for (int t = 0; t < m.TexCount && static_cast<std::size_t>(t) < s.Ui.TextureList.size(); ++t) {
        const textures::TexEntry& e = s.Ws.Textures.TexTable[t];
        out << s.Ui.TextureList[static_cast<std::size_t>(t)] << '\t' << e.Width << 'x' << e.Height << '\n';
    }
}

void NeedFiles(const Options& o, std::size_t least, std::size_t most, const char* what) {
    if (o.Files.size() < least || o.Files.size() > most) {
        throw UsageError{what};
    }
}

int RunInfo(const Options& o, const std::string& configPath, std::ostream& out, std::ostream& err) {
    NeedFiles(o, 1, SIZE_MAX, "info needs at least one FILE");
    auto s = std::make_unique<Session>(err, configPath, o.Textures);
    if (!LoadFiles(*s, o.Files, o, err)) {
        return kFailed;
    }
    PrintInfo(*s, out, o.Textures);
    return kOk;
}

int RunDump(const Options& o, const std::string& configPath, std::ostream& out, std::ostream& err) {
    NeedFiles(o, 1, 1, "dump needs exactly one FILE");
    auto s = std::make_unique<Session>(err, configPath);
    if (!LoadFiles(*s, o.Files, o, err)) {
        return kFailed;
    }
    out << ModelJson(s->Ws.Model) << '\n';
    return kOk;
}

// Saves the whole model as the Save menu does, or exports it (with textures: their PNG files
// too; those that could not be written are named, but the model file is there).
bool SaveWhole(Session& s, const std::string& path, const Target& to, bool textures, std::ostream& err) {
    if (to.Table != nullptr) {
        return to.Table->Save(s.Ws, path);
    }
    const interchange::ExportResult r = interchange::ExportModel(s.Ws, path, {to.ExportId, false, textures});
    if (!r.Ok) {
        err << "zorvane-cli: cannot write '" << path << "': " << r.Error << '\n';
        return false;
    }
    if (!r.MissingTextures.empty()) {
        err << "zorvane-cli: textures not written:";
        for (const std::string& t : r.MissingTextures) {
            err << ' ' << t;
        }
        err << '\n';
    }
    return true;
}

void CheckTextures(const Options& o, const Target& to) {
    if (o.Textures && to.Table != nullptr) {
        throw UsageError{"--textures writes PNG files beside an interchange format only"};
    }
}

// Where a batch writes IN: its base name with the target's extension in the folder.
std::string BatchOut(const Options& o, const std::string& in) {
    return (std::filesystem::path(o.OutDir) / std::filesystem::path(in).stem()).string() + o.To->Extension;
}

// One file of a batch. owner: the file each output name belongs to (the first that has it), so
// that two jobs never write one file.
FileOutcome ConvertInto(const Options& o, const Target& to, const std::string& configPath,
                        const std::map<std::string, std::string>& owner, const std::string& in,
                        std::ostream& messages) {
    const formats::ModelFormat* from = o.From ? *o.From : formats::FormatForFile(in);
    if (from == nullptr) {
        messages << "skipped: cannot tell its format\n";
        return FileOutcome::Skipped;
    }
    const std::string out = BatchOut(o, in);
    if (const std::string& first = owner.at(out); first != in) { // claimed before the jobs started
        messages << "not converted: '" << out << "' is the output of '" << first << "'\n";
        return FileOutcome::Failed;
    }
    auto s = std::make_unique<Session>(messages, configPath, o.Textures);
    Options one = o;
    one.From = from;
    if (!LoadFiles(*s, {in}, one, messages)) {
        return FileOutcome::Failed;
    }
    return SaveWhole(*s, out, to, o.Textures, messages) ? FileOutcome::Converted : FileOutcome::Failed;
}

int RunBatchConvert(const Options& o, const std::string& configPath, std::ostream& err) {
    if (!o.To) {
        throw UsageError{"--out-dir needs --to F"};
    }
    NeedFiles(o, 1, SIZE_MAX, "convert --out-dir needs at least one IN");
    CheckTextures(o, *o.To);
    std::error_code ec;
    std::filesystem::create_directories(o.OutDir, ec);
    if (!std::filesystem::is_directory(o.OutDir)) {
        err << "zorvane-cli: cannot make the folder '" << o.OutDir << "'\n";
        return kFailed;
    }
    // Progress only where someone watches: the process's own error stream on a terminal.
    const bool progress = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
    std::vector<std::string> files;
    std::map<std::string, std::string> owner;
    for (const std::string& in : o.Files) {
        if (std::find(files.begin(), files.end(), in) == files.end()) { // a file named twice is done once
            files.push_back(in);
            if (o.From || formats::FormatForFile(in) != nullptr) { // a skipped file claims no name
                owner.emplace(BatchOut(o, in), in);
            }
        }
    }
    const BatchCounts counts = RunBatch(
        files,
        [&](const std::string& in, std::ostream& messages) {
            return ConvertInto(o, *o.To, configPath, owner, in, messages);
        },
        {o.Jobs, progress}, err);
    err << SummaryLine(counts) << '\n';
    return counts.Failed > 0 ? kFailed : kOk;
}

int RunConvert(const Options& o, const std::string& configPath, std::ostream&, std::ostream& err) {
    if (!o.OutDir.empty()) {
        return RunBatchConvert(o, configPath, err);
    }
    if (o.Jobs != 0) {
        throw UsageError{"--jobs goes with --out-dir"};
    }
    NeedFiles(o, 2, 2, "convert needs IN and OUT");
    const Target to = TargetOf(o.To, o.Files[1]);
    CheckTextures(o, to);
    auto s = std::make_unique<Session>(err, configPath, o.Textures);
    if (!LoadFiles(*s, {o.Files[0]}, o, err)) {
        return kFailed;
    }
    return SaveWhole(*s, o.Files[1], to, o.Textures, err) ? kOk : kFailed;
}

// What an edit operation left: "weld 0.01: v: 8  p: 6  selected: 8  unused: 2  changed:
// polygons". The counts are those of the caption; unused vertices are those no polygon uses.
std::string EditStatus(const model::ModelStore& m, const EditOperation& op, edit::Change changed) {
    std::ostringstream line;
    line << (op.Info->Flag + 2);
    if (op.Info->Arg == EditArgKind::OptionalCount) {
        line << ' ' << op.Args.Count;
    } else if (op.Info->Arg != EditArgKind::None) {
        line << ' ' << op.Args.Text;
    }
    const int vertices = model::UsedVertices(m);
    std::vector<char> used(static_cast<std::size_t>(vertices), 0);
    for (int p = 0; p < model::UsedPolygons(m); ++p) {
        model::ForEachCornerVertex(m, p, [&](std::int32_t v) { used[static_cast<std::size_t>(v)] = 1; });
    }
    int selected = 0;
    for (int v = 0; v < vertices; ++v) {
        selected += m.VertSel[v] != model::kFalse ? 1 : 0;
    }
    line << ": v: " << m.VertCount << "  p: " << m.PolyCount << "  selected: " << selected
         << "  unused: " << std::count(used.begin(), used.end(), 0) << "  changed:";
    line << ChangedNames(changed);
    return line.str();
}

int RunEdit(const Options& o, const std::string& configPath, std::ostream& out, std::ostream& err) {
    NeedFiles(o, 2, 2, "edit needs IN and OUT before the operations");
    if (o.Operations.empty()) {
        throw UsageError{"edit needs at least one operation"};
    }
    const ParsedEdits parsed = ParseEditOperations(o.Operations);
    if (!parsed.Error.empty()) {
        throw UsageError{parsed.Error};
    }
    const Target to = TargetOf(o.To, o.Files[1]);
    CheckTextures(o, to);
    auto s = std::make_unique<Session>(err, configPath, o.Textures);
    if (!LoadFiles(*s, {o.Files[0]}, o, err)) {
        return kFailed;
    }
    s->Ws.Tools.AboutCentre = !o.AboutOrigin;
    for (const EditOperation& op : parsed.Operations) {
        // A refusal shows its message through the port; nothing is saved after one.
        const int before = s->Ui.MessageCount();
        const edit::Change changed = RunEditOperation(s->Ws, op);
        if (s->Ui.MessageCount() != before) {
            return kFailed;
        }
        out << EditStatus(s->Ws.Model, op, changed) << '\n';
    }
    return SaveWhole(*s, o.Files[1], to, o.Textures, err) ? kOk : kFailed;
}

// The help of edit, with one line per operation of the table.
const char* EditUsage() {
    static const std::string text = [] {
        std::string t =
            "usage: zorvane-cli edit [--from F] [--to F] [--about-origin] [--textures] IN OUT\n"
            "                        OPERATION...\n"
            "\n"
            "Opens IN, applies the operations in order, each as one step of the edit history, and\n"
            "saves the whole model as OUT as convert does. Prints one line per operation: the\n"
            "counts, the selected and unused vertices and what changed. An operation that is\n"
            "refused prints its message, and OUT is not written.\n"
            "\n"
            "  --from F        format of IN (default from its extension): {formats}\n"
            "  --to F          format of OUT (default from its extension): {writable}\n"
            "  --about-origin  rotate about the origin (default: about the selection centre)\n"
            "  --textures      interchange formats: also write the textures as PNG files\n"
            "\n"
            "operations:\n";
        for (const EditOperationInfo& op : EditOperations()) {
            std::string head = std::string("  ") + op.Flag + (*op.Usage != '\0' ? " " : "") + op.Usage;
            head.resize(std::max<std::size_t>(head.size() + 1, 34), ' ');
            t += head + op.Help + "\n";
        }
        return t;
    }();
    return text.c_str();
}

int RunParts(const Options& o, const std::string& configPath, std::ostream&, std::ostream& err) {
    NeedFiles(o, 2, 2, "parts needs IN and FOLDER");
    auto s = std::make_unique<Session>(err, configPath);
    if (!LoadFiles(*s, {o.Files[0]}, o, err)) {
        return kFailed;
    }
    std::error_code ec;
    std::filesystem::create_directories(o.Files[1], ec);
    const std::string anyFile = (std::filesystem::path(o.Files[1]) / "parts.vrl").string();
    return formats::SaveAllParts(s->Ws, anyFile, VariantOf(o.To ? o.To->Table : formats::FindFormat("scgt")))
               ? kOk
               : kFailed;
}

int RunRaw2Bmp(const Options& o, const std::string&, std::ostream&, std::ostream& err) {
    NeedFiles(o, 2, 2, "raw2bmp needs IN.raw and OUT.bmp");
    ConsoleUi ui(err);
    return textures::ConvertRawToBmp(o.Files[0], o.Palette, o.Files[1], ui) ? kOk : kFailed;
}

int RunFormats(const Options& o, const std::string&, std::ostream& out, std::ostream&) {
    NeedFiles(o, 0, 0, "formats takes no FILE");
    for (const formats::ModelFormat& f : formats::ModelFormats()) {
        std::string line = std::string(f.Name);
        line.resize(std::max<std::size_t>(line.size() + 1, 11), ' ');
        line += f.Save != nullptr ? "read, write  " : "read         ";
        std::string extensions;
        for (const std::string_view e : f.Extensions) {
            extensions += (extensions.empty() ? "" : " ") + std::string(e);
        }
        line += extensions;
        line.resize(std::max<std::size_t>(line.size() + 1, 36), ' ');
        out << line << f.Label << (f.ExtensionDecides ? "" : " (name it with --format)") << '\n';
    }
    // The writers of the interchange formats: --to takes the extension or the id.
    for (const interchange::ExportFormat& f : interchange::ExportFormats()) {
        std::string line = f.Id;
        line.resize(std::max<std::size_t>(line.size() + 1, 11), ' ');
        line += "write        ." + f.Extension;
        line.resize(std::max<std::size_t>(line.size() + 1, 36), ' ');
        out << line << f.Description << '\n';
    }
    return kOk;
}

std::vector<Command> MakeCommands() {
    std::vector<Command> commands{
        {"info",
         "usage: zorvane-cli info [--format F] [--section N] [--textures] FILE [FILE...]\n"
         "\n"
         "Opens the first FILE, merges the others in order, then prints the title line, the\n"
         "model information, the parts and the texture names.\n"
         "\n"
         "  --format F   format of the files (default from each extension): {formats}\n"
         "  --section N  the section of a track file that has several (default 0)\n"
         "  --textures   load the textures (BMP beside a VRL file, RAW from the MTM2 art folder)\n"
         "               and print each texture's list entry, a tab and its size WxH\n",
         {"--format", "--section", "--textures"},
         RunInfo},
        {"dump",
         "usage: zorvane-cli dump [--format F] [--section N] FILE\n"
         "\n"
         "Prints the vertices, polygons, texture names and parts of FILE as JSON.\n"
         "\n"
         "  --format F   format of the file (default from its extension): {formats}\n"
         "  --section N  the section of a track file that has several\n",
         {"--format", "--section"},
         RunDump},
        {"convert",
         "usage: zorvane-cli convert [--from F] [--section N] [--to F] [--textures] IN OUT\n"
         "       zorvane-cli convert --to F --out-dir DIR [--jobs N] [--from F] [--textures] IN...\n"
         "\n"
         "Opens IN and saves the whole model as OUT, as the Save menu does; an interchange\n"
         "format (glTF, OBJ, FBX, Collada ...) is written through Assimp. With --out-dir every IN\n"
         "is converted into DIR as its base name with the format's extension, several at a time;\n"
         "a failure does not stop the others, a file whose format cannot be told is skipped, and\n"
         "the last line says \"converted N, failed M, skipped K\" (exit status 1 after a failure).\n"
         "\n"
         "  --from F      format of IN (default from its extension): {formats}\n"
         "  --section N   the section of a track file that has several\n"
         "  --to F        format of OUT (default from its extension): {writable}\n"
         "  --textures    interchange formats: also write each texture as TEXTURE.png beside OUT\n"
         "  --out-dir D   convert every IN into the folder D (created when missing)\n"
         "  --jobs N      files converted at the same time (default: one per processor thread)\n",
         {"--from", "--to", "--section", "--textures", "--out-dir", "--jobs"},
         RunConvert},
        {"edit", EditUsage(), {"--from", "--to", "--about-origin", "--section", "--textures"}, RunEdit},
        {"parts",
         "usage: zorvane-cli parts [--from F] [--section N] [--to scgt|f1] IN FOLDER\n"
         "\n"
         "Opens IN and saves every part as its own VRL file in FOLDER (created when missing),\n"
         "named after the part, as \"Save all parts\" does.\n"
         "\n"
         "  --from F     format of IN (default from its extension): {formats}\n"
         "  --section N  the section of a track file that has several\n"
         "  --to F       VRL variant of the part files (default scgt)\n",
         {"--from", "--to", "--section"},
         RunParts},
        {"raw2bmp",
         "usage: zorvane-cli raw2bmp [--palette FILE] IN.raw OUT.bmp\n"
         "\n"
         "Converts the MTM2 RAW texture IN.raw (64 x 64 or 256 x 256 palette indices) into the\n"
         "24-bit BMP OUT.bmp, as \"Convert MTM Raw to Bmp\" does.\n"
         "\n"
         "  --palette F  the ACT palette (default: IN's name with .act beside it, then\n"
         "               metalcr2.act beside it, then black)\n",
         {"--palette"},
         RunRaw2Bmp},
        {"formats",
         "usage: zorvane-cli formats\n"
         "\n"
         "Lists the model formats: the word --format, --from and --to take, whether the format\n"
         "is read or also written, its extensions and what it is; then the formats written\n"
         "through Assimp (--to takes the id or the extension).\n",
         {},
         RunFormats},
    };
    for (Command& c : commands) {
        c.Usage = WithFormats(c.Usage);
    }
    return commands;
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = MakeCommands(); // immutable once made
    return commands;
}

} // namespace

std::string ChangedNames(const edit::Change& changed) {
    static constexpr std::pair<unsigned, const char*> kParts[] = {
        {edit::Change::Geometry, "geometry"},   {edit::Change::Polygons, "polygons"},
        {edit::Change::Waypoints, "waypoints"}, {edit::Change::Selection, "selection"},
        {edit::Change::Parts, "parts"},         {edit::Change::Textures, "textures"},
        {edit::Change::Counts, "counts"},       {edit::Change::Path, "path"},
        {edit::Change::Dummies, "dummies"},     {edit::Change::Cameras, "cameras"}};
    std::string text;
    const char* separator = " ";
    for (const auto& [bit, name] : kParts) {
        if (changed.Has(bit)) {
            text += separator;
            text += name;
            separator = ", ";
        }
    }
    return changed.Any() ? text : " nothing";
}

int RunCli(const std::vector<std::string>& args, const std::string& configPath, std::ostream& out,
           std::ostream& err) {
    if (args.empty()) {
        err << kUsage;
        return kBadUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << kUsage;
        return kOk;
    }
    if (args[0] == "aiw") {
        return RunAiw(args, out, err);
    }
    if (args[0] == "path") {
        return RunPath(args, out, err);
    }
    if (args[0] == "track") {
        return RunTrack(args, configPath, out, err);
    }
    if (args[0] == "scene") {
        return RunScene(args, configPath, out, err);
    }
    if (args[0] == "dummies") {
        return RunDummies(args, out, err);
    }
    const auto& commands = Commands();
    const auto cmd =
        std::find_if(commands.begin(), commands.end(), [&](const Command& c) { return args[0] == c.Name; });
    if (cmd == commands.end()) {
        err << "zorvane-cli: unknown command '" << args[0] << "'\n" << kUsage;
        return kBadUsage;
    }
    try {
        const Options o = ParseOptions(*cmd, args);
        if (o.Help) {
            out << cmd->Usage;
            return kOk;
        }
        return cmd->Run(o, configPath, out, err);
    } catch (const UsageError& e) {
        err << "zorvane-cli " << cmd->Name << ": " << e.Text << "\n" << cmd->Usage;
        return kBadUsage;
    }
}

} // namespace zv::cli
