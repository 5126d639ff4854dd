// RAW textures with their ACT palette: the input's first 768 bytes are the palette, the rest the
// RAW picture; a loaded texture has the size of a RAW picture.

#include "FuzzSupport.h"

#include "config/Settings.h"
#include "model/ModelStore.h"
#include "model/UserInterface.h"
#include "textures/TextureLoader.h"
#include "textures/TextureTable.h"

#include <algorithm>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static zv::model::QuietUserInterface ui;
    static auto model = std::make_unique<zv::model::ModelStore>();
    static auto table = std::make_unique<zv::textures::TextureTable>();
    zv::config::Settings settings;
    settings.Mtm2ArtPath = zv::fuzz::Scratch().string();
    const std::span<const std::uint8_t> bytes(data, size);
    const std::size_t cut = std::min<std::size_t>(768, size);
    zv::fuzz::WriteScratch("fuzz.act", bytes.first(cut));
    const std::string raw = zv::fuzz::WriteScratch("fuzz.raw", bytes.subspan(cut));
    const zv::textures::TextureScope scope{*model, *table, settings, ui};
    zv::textures::ReleaseAll(*table);
    if (zv::textures::LoadRawFile(scope, raw, "FUZZ", 0)) {
        const auto& e = table->TexTable[0];
        zv::fuzz::Require((e.Width == 64 || e.Width == 256) && e.Height == e.Width, "RAW size");
    }
    return 0;
}
