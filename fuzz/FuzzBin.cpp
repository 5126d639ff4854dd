// BIN open and merge with a part list beside the file: the input's first bytes are the part list
// (up to the first 0 byte), the rest is the BIN file.

#include "FuzzSupport.h"

#include "formats/BinFormat.h"
#include "model/UserInterface.h"
#include "workspace/Workspace.h"

#include <algorithm>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static zv::model::QuietUserInterface ui;
    static auto ws = std::make_unique<zv::Workspace>(ui);
    ws->Settings.LoadTexturesOnOpen = false;
    ws->Settings.Mtm2ModelPath = zv::fuzz::Scratch().string();
    const std::span<const std::uint8_t> bytes(data, size);
    const auto cut = static_cast<std::size_t>(std::find(bytes.begin(), bytes.end(), 0) - bytes.begin());
    zv::fuzz::WriteScratch("in.bin.info", bytes.first(cut));
    const std::string path = zv::fuzz::WriteScratch("in.bin", bytes.subspan(std::min(cut + 1, size)));
    zv::formats::OpenBin(*ws, path);
    zv::fuzz::CheckStore(ws->Model, 4096);
    zv::formats::MergeBin(*ws, path);
    zv::fuzz::CheckStore(ws->Model, 4096);
    return 0;
}
