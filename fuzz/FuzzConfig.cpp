// The configuration file: read, then the settings must be within their validated ranges.

#include "FuzzSupport.h"

#include "config/ConfigFile.h"
#include "model/UserInterface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zv::model::QuietUserInterface ui;
    zv::config::Settings s;
    const std::string path = zv::fuzz::WriteScratch("ZV068.CFG", {data, size});
    zv::config::LoadConfig(path, s, ui);
    zv::fuzz::Require(s.MaxTex >= 1 && s.MaxTex <= 500, "MaxTex");
    zv::fuzz::Require(s.ViewType <= 4 && s.RenderType <= 2, "view and render type");
    zv::fuzz::Require(s.Grid.MinX >= -4096 && s.Grid.MinX <= 4096 && s.Grid.MaxX >= -4096 && s.Grid.MaxX <= 4096,
                      "grid X");
    zv::fuzz::Require(s.Grid.StepX >= 0.01f && s.Grid.StepX <= 256, "grid step");
    return 0;
}
