#include "textures/TextureLoader.h"

#include "model/FileLookup.h"
#include "model/FileReplace.h"
#include "model/Paths.h"
#include "textures/BmpCodec.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <new>
#include <optional>

namespace zv::textures {
namespace {

// Appends the texture lists' entry of texture t and keeps its text in the table, so the lists
// can be rebuilt after an undo.
void AppendListEntry(const TextureScope& s, int t, const std::string& text) {
    if (t >= 0 && t < model::kTextureCapacity) {
        s.Textures.TexTable[t].ListText = text;
    }
    s.Ui.AppendTextureList(text);
}

namespace fs = std::filesystem;

using Palette = std::array<std::uint8_t, 768>;

constexpr const char* kNotFoundTitle = "Texture not found";
constexpr const char* kWrongSizeTitle = "Wrong Texture Size! Can't load";
constexpr const char* kPaletteTitle = "Palette-File not found";

void Tell(model::UserInterface& ui, const std::string& title, const std::string& text) {
    ui.ShowMessage(title, text, model::MessageIcon::Warning, model::MessageButtons::Ok);
}

void TellIfWarnings(const TextureScope& s, const std::string& title, const std::string& path) {
    if (s.Settings.ShowTextureErrors) {
        Tell(s.Ui, title, model::UpperAscii(path));
    }
}

// The first limit bytes of the file (all of it when it is shorter); nullopt when it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadBytes(const std::string& path, std::uintmax_t limit) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min(size, limit)));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::size_t>(in.gcount()) != bytes.size()) {
        return std::nullopt;
    }
    return bytes;
}

// A palette is its first 768 bytes; a shorter file is no palette.
std::optional<Palette> ReadPalette(const std::string& path) {
    const auto found = model::FindFileNoCase(path);
    if (!found) {
        return std::nullopt;
    }
    const auto bytes = ReadBytes(*found, Palette{}.size());
    if (!bytes || bytes->size() < Palette{}.size()) {
        return std::nullopt;
    }
    Palette p;
    std::copy(bytes->begin(), bytes->end(), p.begin());
    return p;
}

// The texture's own palette, else the shared one, else black.
Palette FindPalette(const std::string& ownPath, const std::string& sharedPath, bool warn,
                    model::UserInterface& ui) {
    if (auto own = ReadPalette(ownPath)) {
        return *own;
    }
    if (warn) {
        Tell(ui, kPaletteTitle, model::UpperAscii(ownPath) + "\rMetalcr2.act will be used !");
    }
    if (auto shared = ReadPalette(sharedPath)) {
        return *shared;
    }
    if (warn) {
        Tell(ui, kPaletteTitle, model::UpperAscii(sharedPath));
    }
    return Palette{};
}

enum class RawStatus { Ok, Missing, WrongSize };

struct RawFile {
    RawStatus Status = RawStatus::Missing;
    std::string FoundPath;
    int Size = 0; // width and height
    std::vector<std::uint8_t> Indices;
};

// The two sizes are told apart by the file length alone.
int RawSide(std::uintmax_t length) {
    return length == 4096 ? 64 : length == 65536 ? 256 : 0;
}

RawFile ReadRaw(const std::string& path) {
    RawFile r;
    const auto found = model::FindFileNoCase(path);
    if (!found) {
        return r;
    }
    r.FoundPath = *found;
    std::error_code ec;
    const std::uintmax_t length = fs::file_size(*found, ec);
    if (ec) {
        return r;
    }
    r.Size = RawSide(length);
    if (r.Size == 0) {
        r.Status = RawStatus::WrongSize;
        return r;
    }
    auto bytes = ReadBytes(*found, length);
    if (!bytes || bytes->size() != static_cast<std::size_t>(r.Size) * static_cast<std::size_t>(r.Size)) {
        // Changed between the size check and the read: as good as missing.
        r.Status = RawStatus::Missing;
        return r;
    }
    r.Indices = std::move(*bytes);
    r.Status = RawStatus::Ok;
    return r;
}

// The RAW file's own palette: its name with ".act", beside it.
std::string OwnPalettePath(const std::string& rawPath, const std::string& name) {
    return JoinPath(model::FolderOf(rawPath), name + ".act");
}

void ExpandRaw(const RawFile& raw, const Palette& palette, std::vector<std::uint8_t>& rgba) {
    rgba.resize(raw.Indices.size() * 4);
    for (std::size_t i = 0; i < raw.Indices.size(); ++i) {
        const std::size_t e = static_cast<std::size_t>(raw.Indices[i]) * 3;
        const std::uint8_t r = palette[e], g = palette[e + 1], b = palette[e + 2];
        rgba[i * 4] = r;
        rgba[i * 4 + 1] = g;
        rgba[i * 4 + 2] = b;
        rgba[i * 4 + 3] = KeyAlpha(r, g, b);
    }
}

void MarkUnloaded(TextureTable& table, const std::string& name, int t) {
    table.TexTable[t] = {name, kUnloadedSize, kUnloadedSize, -1, {}};
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && model::UpperAscii(text.substr(text.size() - tail.size())) == tail;
}

// The file's name up to its last ".EXT" (any case); the whole name when there is none.
std::string NameBefore(const std::string& path, const std::string& upperExt) {
    const std::string file = model::FileNameOf(path);
    const std::size_t cut = model::UpperAscii(file).rfind(upperExt);
    return cut == std::string::npos ? file : file.substr(0, cut);
}

// Texture names come from model files; keep them from naming other folders.
std::string SafeFileName(const std::string& name) {
    std::string out;
    for (const char c : name) {
        const bool bad = static_cast<unsigned char>(c) < 32 ||
                         std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
        out += bad ? '_' : c;
    }
    if (out.empty() || out == "." || out == "..") {
        out = "_";
    }
    return out;
}

bool WriteBmp(const std::string& path, int width, int height, std::span<const std::uint8_t> rgba,
              model::UserInterface& ui) {
    const std::string bytes = EncodeBmp24(width, height, rgba);
    if (bytes.empty() || model::ReplaceFile(path, bytes)) {
        Tell(ui, "Can't save Bmp", path);
        return false;
    }
    return true;
}

} // namespace

std::string JoinPath(const std::string& folder, const std::string& file) {
    if (folder.empty()) {
        return file;
    }
    const char last = folder.back();
    if (last == '/' || last == '\\') {
        return folder + file;
    }
    return folder + static_cast<char>(fs::path::preferred_separator) + file;
}

bool LoadRawTexture(const TextureScope& s, const std::string& name, int t) {
    // A name from a model file never leads out of the folder: "../X" looks for ".._X".
    return LoadRawFile(s, JoinPath(s.Settings.Mtm2ArtPath, SafeFileName(name) + ".raw"), name, t);
}

bool LoadRawFile(const TextureScope& s, const std::string& path, const std::string& name, int t) {
    TextureTable& table = s.Textures;
    MarkUnloaded(table, name, t);
    RawFile raw = ReadRaw(path);
    if (raw.Status == RawStatus::Missing) {
        TellIfWarnings(s, kNotFoundTitle, path);
        AppendListEntry(s, t, "Not found: " + name);
        return false;
    }
    model::BusyPointer busy(s.Ui);
    if (raw.Status == RawStatus::WrongSize) {
        Tell(s.Ui, kWrongSizeTitle, model::UpperAscii(path));
        AppendListEntry(s, t, "Not found: " + name);
        return false;
    }
    s.Ui.ShowProgress("Loading Palette  " + name);
    const Palette palette =
        FindPalette(OwnPalettePath(raw.FoundPath, name), JoinPath(s.Settings.Mtm2ArtPath, kSharedPaletteName),
                    s.Settings.ShowTextureErrors, s.Ui);
    s.Ui.ShowProgress("Loading Texture  " + name + ".RAW");
    ExpandRaw(raw, palette, table.TexPixels);
    table.PixelsWidth = table.PixelsHeight = raw.Size;
    const int slot = StoreStagedTexture(table, t, name);
    AppendListEntry(s, t, slot >= 0 ? name : "Not found: " + name);
    s.Ui.ShowProgress("");
    return slot >= 0;
}

int LoadBmpTexture(const TextureScope& s, const std::string& name, int t) {
    // Before any model is opened the folder is the configured one.
    const std::string& folder = s.Model.ModelFileName.empty() ? s.Settings.ScgtArtPath : s.Model.ModelDir;
    // A name from a model file never leads out of the folder: "../X" looks for ".._X".
    return LoadBmpFile(s, JoinPath(folder, SafeFileName(name) + ".BMP"), name, t);
}

int LoadBmpFile(const TextureScope& s, const std::string& path, const std::string& name, int t) {
    TextureTable& table = s.Textures;
    MarkUnloaded(table, name, t);
    if (table.TexLoadCount > s.Settings.MaxTex) {
        TellIfWarnings(
            s, "More than " + std::to_string(s.Settings.MaxTex) + " textures. Can't load any more!", path);
        AppendListEntry(s, t, "Nl: " + name);
        return -1;
    }
    const auto found = model::FindFileNoCase(path);
    if (!found) {
        TellIfWarnings(s, kNotFoundTitle, path);
        AppendListEntry(s, t, "Nf: " + name);
        return -1;
    }
    model::BusyPointer busy(s.Ui);
    s.Ui.ShowProgress("Loading Texture:  " + model::FileNameOf(*found));
    // No BMP of an accepted size is longer than its uncompressed 32-bit form plus headers.
    constexpr std::uintmax_t kLongestBmp = std::uintmax_t{kMaxTextureSide} * kMaxTextureSide * 4 + 65536;
    std::error_code ec;
    const bool tooLong = fs::file_size(*found, ec) > kLongestBmp && !ec;
    const auto bytes = tooLong ? std::nullopt : ReadBytes(*found, kLongestBmp);
    DecodedBmp bmp;
    try {
        bmp = bytes ? DecodeBmp(*bytes, FreeTextureMemory(table)) : DecodedBmp{};
    } catch (const std::bad_alloc&) {
        bmp.Fault = BmpFault::NoMemory; // this texture is not loaded; the others go on
    }
    if (tooLong) {
        bmp.Fault = BmpFault::TooLarge;
    }
    if ((!bytes && !tooLong) || bmp.Fault != BmpFault::None) {
        const char* title = !bytes && !tooLong                ? kNotFoundTitle
                            : bmp.Fault == BmpFault::Empty    ? "Texture has no pixels"
                            : bmp.Fault == BmpFault::TooLarge ? "Texture too large (over 8192 pixels)"
                            : bmp.Fault == BmpFault::NoMemory ? "Texture memory full (1024 MB)"
                                                              : "Texture not readable as BMP";
        TellIfWarnings(s, title, path);
        AppendListEntry(s, t, "Nf: " + name);
        s.Ui.ShowProgress("");
        return -1;
    }
    table.TexPixels = std::move(bmp.Rgba);
    table.PixelsWidth = bmp.Width;
    table.PixelsHeight = bmp.Height;
    const int slot = StoreStagedTexture(table, t, name);
    AppendListEntry(s, t, slot >= 0 ? name : "Nf: " + name);
    s.Ui.ShowProgress("");
    return slot;
}

bool AddTextureFile(const TextureScope& s, const std::string& path) {
    const bool raw = EndsWithNoCase(path, "RAW");
    if (!raw && !EndsWithNoCase(path, "BMP")) {
        return false;
    }
    model::ModelStore& m = s.Model;
    if (m.TexCount < 0 || m.TexCount >= model::kTextureCapacity) {
        Tell(s.Ui, "Texture Open Error",
             "The model already has " + std::to_string(model::kUserMaxTextures) + " textures.");
        return false;
    }
    const int t = m.TexCount;
    const std::string name = NameBefore(path, raw ? ".RAW" : ".BMP");
    const bool loaded = raw ? LoadRawFile(s, path, name, t) : LoadBmpFile(s, path, name, t) >= 0;
    m.TexName[t] = name;
    ++m.TexCount;
    return loaded;
}

std::string DefaultExportFolder(const std::string& configFilePath) {
    return JoinPath(model::FolderOf(configFilePath), "textures");
}

int ExportTexturesAsBmp(const TextureScope& s, const std::string& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    int written = 0;
    for (int t = 0; t < s.Model.TexCount && t < model::kTextureCapacity; ++t) {
        const TextureImage* image = LoadedImage(s.Textures, t);
        if (image == nullptr) {
            continue;
        }
        const std::string path = JoinPath(folder, SafeFileName(s.Textures.TexTable[t].Name) + ".BMP");
        if (!WriteBmp(path, image->Width, image->Height, image->Rgba, s.Ui)) {
            return -1;
        }
        ++written;
    }
    return written;
}

bool ConvertRawToBmp(const std::string& rawPath, const std::string& palettePath, const std::string& bmpPath,
                     model::UserInterface& ui) {
    model::BusyPointer busy(ui);
    RawFile raw = ReadRaw(rawPath);
    if (raw.Status != RawStatus::Ok) {
        Tell(ui, raw.Status == RawStatus::Missing ? kNotFoundTitle : kWrongSizeTitle,
             model::UpperAscii(rawPath));
        return false;
    }
    Palette palette{};
    if (palettePath.empty()) {
        const std::string name = NameBefore(raw.FoundPath, ".RAW");
        palette = FindPalette(OwnPalettePath(raw.FoundPath, name),
                              JoinPath(model::FolderOf(raw.FoundPath), kSharedPaletteName), true, ui);
    } else if (auto given = ReadPalette(palettePath)) {
        palette = *given;
    } else {
        Tell(ui, kPaletteTitle, model::UpperAscii(palettePath));
        return false;
    }
    std::vector<std::uint8_t> rgba;
    ExpandRaw(raw, palette, rgba);
    return WriteBmp(bmpPath, raw.Size, raw.Size, rgba, ui);
}

int ConvertRawFilesToBmp(const std::vector<std::string>& rawPaths, model::UserInterface& ui) {
    int written = 0;
    for (const std::string& raw : rawPaths) {
        const std::string file = model::FileNameOf(raw);
        const std::string bmp =
            raw.substr(0, raw.size() - file.size()) + model::StripExtension(file) + ".bmp";
        if (ConvertRawToBmp(raw, "", bmp, ui)) {
            ++written;
        }
    }
    return written;
}

} // namespace zv::textures
