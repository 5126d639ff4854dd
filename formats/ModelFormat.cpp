#include "formats/ModelFormat.h"

#include "formats/BinFormat.h"
#include "formats/DroppedFiles.h"
#include "formats/FileBytes.h"
#include "formats/ImportFormats.h"
#include "formats/VrlReader.h"
#include "formats/VrlWriter.h"
#include "model/ModelInfo.h"
#include "model/Numbers.h"
#include "model/Paths.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <stdexcept>

namespace zv::formats {
namespace {

bool MergeScgt(Workspace& ws, const std::string& path) {
    return MergeVrl(ws, path, VrlVariant::Scgt);
}
bool MergeF1(Workspace& ws, const std::string& path) {
    return MergeVrl(ws, path, VrlVariant::F1_2000);
}
bool SaveScgt(Workspace& ws, const std::string& path) {
    return SaveVrlModel(ws, path, VrlVariant::Scgt);
}
bool SaveF1(Workspace& ws, const std::string& path) {
    return SaveVrlModel(ws, path, VrlVariant::F1_2000);
}

std::vector<ModelFormat> MakeTable() {
    std::vector<ModelFormat> t;
    {
        ModelFormat f;
        f.Name = "scgt";
        f.Label = "Sports Car GT VRL";
        f.Extensions = {".vrl"};
        f.ExtensionDecides = true;
        f.NotFoundTitle = "Vrl-File not found";
        f.ErrorTitle = "  Vrl open error";
        f.Decode = DecodeScgtVrl;
        f.Fault = OnFault::KeepNothing;
        f.Merge = MergeScgt;
        f.Save = SaveScgt;
        t.push_back(f);
        // The other VRL variant: the same file kind, named only (".vrl" stays Sports Car GT's).
        f.Name = "f1";
        f.Label = "F1 2000 VRL";
        f.ExtensionDecides = false;
        f.Decode = DecodeF1Vrl;
        f.Merge = MergeF1;
        f.Save = SaveF1;
        t.push_back(f);
    }
    {
        ModelFormat f;
        f.Name = "bin";
        f.Label = "Monster Truck Madness 2 BIN";
        f.Extensions = {".bin"};
        f.ExtensionDecides = true;
        f.NotFoundTitle = "Bin-File not found";
        f.ErrorTitle = "  bin_open ERROR";
        f.Textures = TextureFiles::Raw;
        f.Open = OpenBin;
        f.Merge = MergeBin;
        f.Save = WriteBin;
        t.push_back(f);
    }
    AddImporters(t);
    return t;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return out;
}

void ShowFault(Workspace& ws, const ModelFormat& f, const ReadError& e) {
    ws.Ui.ShowMessage(f.ErrorTitle,
                      "Error at Filepos. " + model::HexUpper(e.Position()) +
                          (e.Detail().empty() ? std::string() : "\r" + e.Detail()),
                      model::MessageIcon::Warning, model::MessageButtons::Ok);
}

// The formats the front ends added, and whether the table was made (from then on it is fixed).
struct Registry {
    std::vector<ModelFormat> Extra;
    bool Made = false;
};

Registry& Formats() {
    static Registry registry; // program configuration, the same for every workspace
    return registry;
}

} // namespace

void AddFormats(std::vector<ModelFormat> extra) {
    Registry& r = Formats();
    if (r.Made) {
        throw std::logic_error("model formats added after the table was used");
    }
    r.Extra.insert(r.Extra.end(), std::make_move_iterator(extra.begin()), std::make_move_iterator(extra.end()));
}

std::span<const ModelFormat> ModelFormats() {
    static const std::vector<ModelFormat> table = [] {
        std::vector<ModelFormat> t = MakeTable();
        Registry& r = Formats();
        t.insert(t.end(), r.Extra.begin(), r.Extra.end());
        r.Made = true;
        return t;
    }();
    return table;
}

const ModelFormat* FindFormat(std::string_view name) {
    for (const ModelFormat& f : ModelFormats()) {
        if (f.Name == name) {
            return &f;
        }
    }
    return nullptr;
}

const ModelFormat* FormatForPath(const std::string& path) {
    const std::string lower = Lower(path);
    for (const ModelFormat& f : ModelFormats()) {
        if (!f.ExtensionDecides) {
            continue;
        }
        for (const std::string_view ext : f.Extensions) {
            if (lower.size() > ext.size() && lower.ends_with(ext)) {
                return &f;
            }
        }
    }
    return nullptr;
}

const ModelFormat* FormatForFile(const std::string& path) {
    if (const ModelFormat* f = FormatForPath(path)) {
        return f;
    }
    const std::string lower = Lower(path);
    std::vector<const ModelFormat*> candidates;
    for (const ModelFormat& f : ModelFormats()) {
        const bool named = std::any_of(f.Extensions.begin(), f.Extensions.end(), [&](std::string_view ext) {
            return lower.size() > ext.size() && lower.ends_with(ext);
        });
        if (named && f.Sniff != nullptr) {
            candidates.push_back(&f);
        }
    }
    if (candidates.empty()) {
        return nullptr;
    }
    // The first bytes only: a tag sits at the start.
    std::array<std::uint8_t, 512> head{};
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    const auto got = static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0));
    const ModelFormat* found = nullptr;
    for (const ModelFormat* f : candidates) {
        if (f->Sniff(std::span<const std::uint8_t>(head.data(), got))) {
            if (found != nullptr) {
                return nullptr; // two formats claim it: the user must say
            }
            found = f;
        }
    }
    return found;
}

std::string FormatNames(bool writableOnly) {
    std::string out;
    for (const ModelFormat& f : ModelFormats()) {
        if (writableOnly && f.Save == nullptr) {
            continue;
        }
        out += (out.empty() ? "" : ", ") + std::string(f.Name);
    }
    return out;
}

bool OpenModelFile(Workspace& ws, const ModelFormat& f, const std::string& path, const OpenOptions& o) {
    if (f.Open != nullptr) {
        return f.Open(ws, path);
    }
    if (f.Decode == nullptr || path.size() < 5) {
        return false;
    }
    if (!IsFile(path)) {
        ws.Ui.ShowMessage(f.NotFoundTitle, model::UpperAscii(path), model::MessageIcon::Warning,
                          model::MessageButtons::Ok);
        return false;
    }
    model::ModelStore& m = ws.Model;
    std::optional<FileBytes> bytes;
    {
        model::BusyPointer busy(ws.Ui);
        bytes = ReadFileBytes(path, kMaxModelFileBytes);
    }
    // An unreadable file (too large, a pipe) fails as the first byte would: after the model
    // was emptied, as a fault at that byte always did.
    const std::span<const std::uint8_t> data =
        bytes ? static_cast<std::span<const std::uint8_t>>(*bytes) : std::span<const std::uint8_t>();
    DecodeJob job{data, path, m, 0, 0, ws.Ui, ws.Settings, o.Section, 0, 0, {}, {}, false, std::nullopt};
    if (bytes && f.Check != nullptr) {
        try {
            f.Check(job);
        } catch (const ReadError& e) {
            ShowFault(ws, f, e); // the model is as it was
            return false;
        }
        if (job.Cancelled) {
            return false;
        }
    }
    BeginOpen(ws);
    m.CurVert = m.CurPoly = m.CurCorner = m.CurEdge = -1;
    ws.Ui.ShowProgress("Loading Model: " + path);
    std::optional<ReadError> fault;
    {
        model::BusyPointer busy(ws.Ui);
        try {
            if (!bytes) {
                throw ReadError(1);
            }
            f.Decode(job);
            if (bytes->Changed()) {
                throw ReadError(1); // cut short by another program while it was read
            }
        } catch (const ReadError& e) {
            fault = e;
        }
    }
    if (fault && f.Fault == OnFault::KeepNothing) {
        ResetAfterFailedOpen(ws);
        ShowFault(ws, f, *fault);
        return false;
    }
    m.VertCount = std::clamp(job.Vertices, 0, model::kVertexCapacity);
    m.PolyCount = std::clamp(job.Polygons, 0, model::kPolygonCapacity);
    if (job.Normals) {
        m.NrmCount = *job.Normals;
    }
    const auto names = static_cast<int>(std::min<std::size_t>(job.TextureNames.size(), model::kTextureCapacity));
    for (int t = 0; t < names; ++t) {
        m.TexName[t] = job.TextureNames[static_cast<std::size_t>(t)];
    }
    m.TexCount = static_cast<std::int16_t>(names);
    std::vector<PartRun> runs;
    for (const PartRun& run : job.Parts) {
        const int first = std::clamp(run.First, 0, m.PolyCount);
        const int count = std::clamp(run.Count, 0, m.PolyCount - first); // only polygons kept
        if (count > 0) {
            runs.push_back({run.Name, first, count});
        }
    }
    FinishOpenWithParts(ws, path, runs, f.Textures);
    if (fault) {
        ShowFault(ws, f, *fault);
        return false;
    }
    return true;
}

bool MergeModelFile(Workspace& ws, const ModelFormat& format, const std::string& path) {
    if (format.Merge == nullptr) {
        return false;
    }
    return MergeAsStep(ws, [&] { return format.Merge(ws, path); });
}

} // namespace zv::formats
