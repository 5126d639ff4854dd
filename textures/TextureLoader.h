#pragma once
// Loading textures by name into the texture table: RAW images with their ACT palettes and BMP
// pictures, the add-texture command, the export of the loaded images and the RAW to BMP
// conversion.
//
// Every loader call appends exactly one entry to the texture lists: the name when it loaded,
// otherwise the name after "Not found: " (RAW), "Nf: " (BMP missing or unreadable) or "Nl: "
// (BMP over the MaxTex limit). A failed load leaves the texture's entry {name, 4, 4, -1} and
// never throws. Game files come from Windows, so every file is found whatever its letter case.

#include "config/Settings.h"
#include "model/ModelStore.h"
#include "model/UserInterface.h"
#include "textures/TextureTable.h"

#include <string>
#include <vector>

namespace zv::textures {

// What the loaders work on: the model's texture names and folder, the table, the settings
// (folders, MaxTex, the warnings option) and the user-interface port.
struct TextureScope {
    model::ModelStore& Model;
    TextureTable& Textures;
    const config::Settings& Settings;
    model::UserInterface& Ui;
};

// The shared palette used when a RAW texture has none of its own.
inline constexpr const char* kSharedPaletteName = "metalcr2.act";

// folder + separator + file; file alone when folder is empty; no second separator when folder
// already ends with "/" or "\".
std::string JoinPath(const std::string& folder, const std::string& file);

// Loads Mtm2ArtPath/name.raw into texture t. Returns true when it loaded.
bool LoadRawTexture(const TextureScope& s, const std::string& name, int t);

// Loads the RAW file at path as texture t under name, with the palette name.act beside it,
// else Mtm2ArtPath/metalcr2.act, else black. A file that is missing or unreadable fails with
// "Texture not found" (when warnings are on); one whose length is neither 4096 (64 x 64) nor
// 65536 (256 x 256) bytes fails with "Wrong Texture Size! Can't load" (always shown).
bool LoadRawFile(const TextureScope& s, const std::string& path, const std::string& name, int t);

// Loads name.BMP from the folder of the last opened model (ScgtArtPath before any model) into
// texture t. Returns the preview slot, or -1.
int LoadBmpTexture(const TextureScope& s, const std::string& name, int t);

// Loads the BMP file at path as texture t under name. Refused when TexLoadCount is greater
// than MaxTex, when the file is missing, when it cannot be decoded, has no pixels or is larger
// than 8192 pixels on a side; each refusal is told (when warnings are on) with the path in upper
// case and a title naming the reason. Returns the preview slot, or -1.
int LoadBmpFile(const TextureScope& s, const std::string& path, const std::string& name, int t);

// The add-texture command for a chosen file: ".raw" and ".bmp" (any case) load into a new
// texture at TexCount named after the file; other files are ignored. The texture is added
// whether or not it loaded, so the lists stay aligned. Returns true when it loaded; false,
// with a message, when the model already has the most textures.
bool AddTextureFile(const TextureScope& s, const std::string& path);

// The "textures" folder beside the configuration file at configFilePath.
std::string DefaultExportFolder(const std::string& configFilePath);

// Writes every loaded texture image as folder/NAME.BMP (24 bits; characters that cannot be in
// a file name become "_"), creating folder when missing. Each file replaces an old one only
// once complete. Returns the number written, or -1 after the first failure, which is shown.
int ExportTexturesAsBmp(const TextureScope& s, const std::string& folder);

// Converts one RAW texture into a 24-bit BMP at bmpPath. With an empty palettePath the palette
// is found as for a texture (own name beside the RAW file, then metalcr2.act beside it, then
// black); a named palette that is missing or shorter than 768 bytes fails. Every problem is
// shown. Returns true when the BMP was written.
bool ConvertRawToBmp(const std::string& rawPath, const std::string& palettePath, const std::string& bmpPath,
                     model::UserInterface& ui);

// The "Convert MTM Raw to Bmp" command: converts each RAW file to a BMP of the same name beside
// it. Returns how many were written.
int ConvertRawFilesToBmp(const std::vector<std::string>& rawPaths, model::UserInterface& ui);

} // namespace zv::textures
