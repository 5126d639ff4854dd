// The File menu of the main window.

#include "app/MainWindow.h"

#include "app/FileDialogs.h"
#include "app/QtText.h"
#include "formats/BinFormat.h"
#include "formats/VrlReader.h"
#include "formats/VrlWriter.h"
#include "model/Paths.h"
#include "workspace/ModelLifecycle.h"

#include <QApplication>

#include <QFileDialog>
#include <QStringList>
#include <algorithm>

namespace zv::app {

std::string MainWindow::ChooseFile(bool save, const char* title, const char* filter,
                                   const std::string& folder) {
    FileRequest request;
    request.Save = save;
    request.Title = QString::fromLatin1(title);
    request.Filter = QString::fromLatin1(filter);
    request.Start = ToQString(save && !ws_->Model.ModelPath.empty() ? ws_->Model.ModelPath : folder);
    const QStringList chosen = ChooseFiles(this, request);
    if (chosen.isEmpty()) {
        return {};
    }
    ws_->Model.ModelPath = ToCore(chosen.front());
    return ws_->Model.ModelPath;
}

void MainWindow::ConnectFileMenu() {
    On("mnuFile", 0, &MainWindow::NewModelCommand);
    On("mnuFile", 5, &MainWindow::MergeBin);
    On("mnuFile", 13, &MainWindow::QuitCommand);
    On("mnuFile1", 0, &MainWindow::OpenScgt);
    On("mnuFile1", 1, &MainWindow::OpenF1);
    On("mnuFile1", 2, &MainWindow::OpenBin);
    On("mnuFile2", 0, &MainWindow::SaveScgt);
    On("mnuFile2", 1, &MainWindow::SaveF1);
    On("mnuFile2", 2, &MainWindow::SaveBin);
    On("mnuFileMerge", 0, &MainWindow::MergeScgt);
    On("mnuFileMerge", 1, &MainWindow::MergeF1);
}

bool MainWindow::HasSomethingToSave(const char* title) {
    if (ws_->Model.VertCount >= 1) {
        return true;
    }
    ui_.ShowMessage(title, "Nothing to save !", model::MessageIcon::Information, model::MessageButtons::Ok);
    return false;
}

// The "Open Model" chooser of the toolbar: a BIN file opens as MTM2, anything else as SCGT (the
// dialog's two filters).
void MainWindow::OpenModelChooser() {
    const std::string path =
        ChooseFile(false, "Open Model", "SCGT (vrl)|*.vrl|MTM (bin)|*.bin", ws_->Settings.ScgtModelPath);
    if (path.empty()) {
        return;
    }
    const bool bin = model::UpperAscii(path).ends_with(".BIN");
    AfterOpen(bin ? formats::OpenBin(*ws_, path) : formats::OpenVrl(*ws_, path, formats::VrlVariant::Scgt),
              path);
}

// A successful open has refreshed the views already; a failed one has emptied the model, and the
// views must not go on showing the old one.
void MainWindow::AfterOpen(bool opened, const std::string& path) {
    if (opened) {
        currentFileName_ = model::FileNameOf(path);
    } else if (ws_->Model.VertCount >= 0) {
        RefreshAll();
    }
}

void MainWindow::SaveModelButton() {
    SaveScgt();
}

void MainWindow::NewModelCommand() {
    NewModel(*ws_);
    RefreshAll();
}

void MainWindow::OpenScgt() {
    const std::string path = ChooseFile(false, "Open SCGT-Model", "", ws_->Settings.ScgtModelPath);
    if (!path.empty()) {
        AfterOpen(formats::OpenVrl(*ws_, path, formats::VrlVariant::Scgt), path);
    }
}

void MainWindow::OpenF1() {
    const std::string path = ChooseFile(false, "Open SCGT-Model", "", ws_->Settings.ScgtModelPath);
    if (!path.empty()) {
        AfterOpen(formats::OpenVrl(*ws_, path, formats::VrlVariant::F1_2000), path);
    }
}

void MainWindow::OpenBin() {
    const std::string path =
        ChooseFile(false, "Open MTM-Model", "MTM (bin)|*.bin", ws_->Settings.Mtm2ModelPath);
    if (!path.empty()) {
        AfterOpen(formats::OpenBin(*ws_, path), path);
    }
}

void MainWindow::SaveScgt() {
    if (!HasSomethingToSave("Save Vrl-Model")) {
        return;
    }
    const std::string path =
        ChooseFile(true, "Save SCGT-Model", "Cube Vrl-Format|*.vrl", ws_->Settings.ScgtModelPath);
    if (!path.empty()) {
        formats::SaveVrlModel(*ws_, path, formats::VrlVariant::Scgt);
    }
}

void MainWindow::SaveF1() {
    if (!HasSomethingToSave("Save F1 2000 Model")) {
        return;
    }
    const std::string path =
        ChooseFile(true, "Save F1-2000 Model", "Cube2.5 Vrl-Format|*.vrl", ws_->Settings.ScgtModelPath);
    if (!path.empty()) {
        formats::SaveVrlModel(*ws_, path, formats::VrlVariant::F1_2000);
    }
}

void MainWindow::SaveBin() {
    if (!HasSomethingToSave("Save MTM Model")) {
        return;
    }
    const std::string path =
        ChooseFile(true, "Save MTM-Model", "BIN Format|*.bin", ws_->Settings.Mtm2ModelPath);
    if (!path.empty() && formats::WriteBin(*ws_, path)) {
        RefreshAll();
    }
}

void MainWindow::MergeScgt() {
    const std::string path =
        ChooseFile(false, "Merge SCGT-Model", "SCGT vrl-Format|*.vrl", ws_->Settings.ScgtModelPath);
    if (!path.empty() && formats::MergeVrl(*ws_, path, formats::VrlVariant::Scgt)) {
        RefreshAll();
    }
}

void MainWindow::MergeF1() {
    const std::string path =
        ChooseFile(false, "Merge F1 2000 Model", "F1 2000 vrl-Format|*.vrl", ws_->Settings.ScgtModelPath);
    if (!path.empty() && formats::MergeVrl(*ws_, path, formats::VrlVariant::F1_2000)) {
        RefreshAll();
    }
}

void MainWindow::MergeBin() {
    const std::string path =
        ChooseFile(false, "Merge MTM2-Model", "BIN Format|*.bin", ws_->Settings.Mtm2ModelPath);
    if (!path.empty() && formats::MergeBin(*ws_, path)) {
        RefreshAll();
    }
}

void MainWindow::QuitCommand() {
    QApplication::quit();
}

} // namespace zv::app
