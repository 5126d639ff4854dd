#pragma once
// The workspace owns every table and setting of one editing session; nothing lives in globals,
// so each test starts from a clean workspace.

#include "config/Settings.h"
#include "model/ModelStore.h"
#include "model/UserInterface.h"
#include "render/WireframeView.h"
#include "textures/TextureTable.h"

namespace zv {

struct Workspace {
    explicit Workspace(model::UserInterface& ui) : Ui(ui) {}
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    model::UserInterface& Ui;
    model::ModelStore Model;
    config::Settings Settings;
    textures::TextureTable Textures;
    render::WireframeView View1;
};

} // namespace zv
