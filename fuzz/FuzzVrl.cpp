// VRL open and merge, both variants: the input is opened, then merged into what it left.

#include "FuzzSupport.h"

#include "formats/VrlReader.h"
#include "model/UserInterface.h"
#include "workspace/Workspace.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static zv::model::QuietUserInterface ui;
    static auto ws = std::make_unique<zv::Workspace>(ui);
    ws->Settings.LoadTexturesOnOpen = false;
    const std::span<const std::uint8_t> bytes(data, size);
    const auto variant = size > 0 && data[0] % 2 ? zv::formats::VrlVariant::F1_2000 : zv::formats::VrlVariant::Scgt;
    const std::string path = zv::fuzz::WriteScratch("in.vrl", bytes);
    zv::formats::OpenVrl(*ws, path, variant);
    zv::fuzz::CheckStore(ws->Model, 12);
    zv::formats::MergeVrl(*ws, path, variant);
    zv::fuzz::CheckStore(ws->Model, 12);
    return 0;
}
