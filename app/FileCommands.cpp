// The File menu of the main window.

#include "app/MainWindow.h"
#include "app/PathCommands.h"
#include "app/SceneCommands.h"
#include "app/WaypointCommands.h"

#include "app/FileDialogs.h"
#include "app/QtText.h"
#include "app/RecentFiles.h"
#include "config/RecentFiles.h"
#include "formats/BinFormat.h"
#include "formats/DroppedFiles.h"
#include "formats/VrlReader.h"
#include "formats/VrlWriter.h"
#include "interchange/Interchange.h"
#include "model/Columns.h"
#include "model/Paths.h"
#include "workspace/ModelLifecycle.h"

#include <QApplication>

#include <QFileDialog>
#include <QStringList>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace zv::app {
namespace {

// The command words of the recent files for the save formats, by ModelFormat.
constexpr const char* kSaveCommands[] = {"scgt", "f1", "bin"};

// The save command of a model opened as format name: its own for SCGT, F1 and BIN, SCGT for
// every other (imported) format.
ModelFormat SaveFormatOf(std::string_view name) {
    return name == "bin" ? ModelFormat::Bin : name == "f1" ? ModelFormat::F1 : ModelFormat::Scgt;
}

} // namespace

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
    On("mnuFile", 8, &MainWindow::ImportCommand);
    On("mnuFile", 9, &MainWindow::ExportCommand);
    On("mnuFile", 13, &MainWindow::QuitCommand);
    On("mnuFile1", 0, &MainWindow::OpenScgt);
    On("mnuFile1", 1, &MainWindow::OpenF1);
    On("mnuFile1", 2, &MainWindow::OpenBin);
    On("mnuFile2", 0, &MainWindow::SaveScgt);
    On("mnuFile2", 1, &MainWindow::SaveF1);
    On("mnuFile2", 2, &MainWindow::SaveBin);
    On("mnuFileMerge", 0, &MainWindow::MergeScgt);
    On("mnuFileMerge", 1, &MainWindow::MergeF1);
    // The importers' items come from the table of model formats.
    for (const formats::ModelFormat& f : formats::ModelFormats()) {
        if (f.Menu.empty()) {
            continue;
        }
        if (QAction* item = Item(std::string(f.Menu), f.MenuIndex)) {
            connect(item, &QAction::triggered, this, [this, &f] { OpenImported(f); });
        }
    }
}

void MainWindow::OpenImported(const formats::ModelFormat& format) {
    if (!ConfirmDiscard()) {
        return;
    }
    const std::string folder =
        format.Textures == TextureFiles::Raw ? ws_->Settings.Mtm2ModelPath : ws_->Settings.ScgtModelPath;
    const std::string path = ChooseFile(false, std::string(format.DialogTitle).c_str(),
                                        std::string(format.DialogFilter).c_str(), folder);
    if (path.empty()) {
        return;
    }
    // A dialog that offers several formats (the Nascar Revolution model and track): the chosen
    // file's extension decides among the entries that share the dialog.
    const formats::ModelFormat* chosen = &format;
    for (const formats::ModelFormat& f : formats::ModelFormats()) {
        if (f.DialogTitle == format.DialogTitle && !f.Extensions.empty() &&
            model::UpperAscii(path).ends_with(model::UpperAscii(f.Extensions.front()))) {
            chosen = &f;
            break;
        }
    }
    format_ = ModelFormat::Scgt; // an imported model is saved as a Sports Car GT model
    AfterOpen(formats::OpenModelFile(*ws_, *chosen, path), path, chosen->Name);
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
    if (!ConfirmDiscard()) {
        return;
    }
    const std::string path =
        ChooseFile(false, "Open Model", "SCGT (vrl)|*.vrl|MTM (bin)|*.bin", ws_->Settings.ScgtModelPath);
    if (path.empty()) {
        return;
    }
    const bool bin = model::UpperAscii(path).ends_with(".BIN");
    format_ = bin ? ModelFormat::Bin : ModelFormat::Scgt;
    AfterOpen(bin ? formats::OpenBin(*ws_, path) : formats::OpenVrl(*ws_, path, formats::VrlVariant::Scgt),
              path, bin ? "bin" : "scgt");
}

// A failed open has emptied the model, and the views must not go on showing the old one.
void MainWindow::AfterOpen(bool opened, const std::string& path, std::string_view command) {
    if (opened) {
        currentFileName_ = model::FileNameOf(path);
        NoteRecent(std::string(command), path);
    }
    if (ws_->Model.VertCount >= 0) {
        RefreshAll();
    }
}

bool MainWindow::ConfirmDiscard() {
    if (!ws_->Model.HasModel() || !ws_->History.IsModified()) {
        return true;
    }
    const QMessageBox::StandardButton answer =
        AskToSave(QStringLiteral("Save changes to %1?").arg(ToQString(ws_->Model.ModelFileName)));
    return answer == QMessageBox::Discard || (answer == QMessageBox::Save && SaveAs(format_));
}

QMessageBox::StandardButton MainWindow::AskToSave(const QString& text) {
    return AskSaveChanges ? AskSaveChanges(text)
                          : QMessageBox::question(this, QStringLiteral("Zorvane"), text,
                                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                                  QMessageBox::Save);
}

bool MainWindow::ConfirmDiscard(Document d) {
    const std::vector<Document> unsaved = UnsavedDocuments(*ws_);
    if (std::find(unsaved.begin(), unsaved.end(), d) == unsaved.end()) {
        return true;
    }
    const QMessageBox::StandardButton answer =
        AskToSave(QStringLiteral("Save changes to the %1?").arg(ToQString(DocumentName(d))));
    if (answer != QMessageBox::Save) {
        return answer == QMessageBox::Discard;
    }
    switch (d) {
    case Document::Waypoints: {
        WaypointCommands* commands = FindWaypointCommands(*this);
        return commands != nullptr && commands->Save(ws_->Waypoints.LoadedDialect == waypoints::Dialect::F1cs);
    }
    case Document::Path: {
        PathCommands* commands = FindPathCommands(*this);
        return commands != nullptr && commands->Save();
    }
    case Document::Dummies: {
        SceneCommands* commands = FindSceneCommands(*this);
        return commands != nullptr && commands->SaveDummies();
    }
    }
    return false;
}

bool MainWindow::ConfirmClose() {
    if (!ConfirmDiscard()) {
        return false;
    }
    for (const Document d : UnsavedDocuments(*ws_)) {
        if (!ConfirmDiscard(d)) {
            return false;
        }
    }
    return true;
}

bool MainWindow::SaveAs(ModelFormat format) {
    static constexpr const char* kTitles[] = {"Save Vrl-Model", "Save F1 2000 Model", "Save MTM Model"};
    if (!HasSomethingToSave(kTitles[static_cast<int>(format)])) {
        return false;
    }
    std::string path;
    bool saved = false;
    switch (format) {
    case ModelFormat::Scgt:
        path = ChooseFile(true, "Save SCGT-Model", "Cube Vrl-Format|*.vrl", ws_->Settings.ScgtModelPath);
        saved = !path.empty() && formats::SaveVrlModel(*ws_, path, formats::VrlVariant::Scgt);
        break;
    case ModelFormat::F1:
        path =
            ChooseFile(true, "Save F1-2000 Model", "Cube2.5 Vrl-Format|*.vrl", ws_->Settings.ScgtModelPath);
        saved = !path.empty() && formats::SaveVrlModel(*ws_, path, formats::VrlVariant::F1_2000);
        break;
    case ModelFormat::Bin:
        path = ChooseFile(true, "Save MTM-Model", "BIN Format|*.bin", ws_->Settings.Mtm2ModelPath);
        saved = !path.empty() && formats::WriteBin(*ws_, path);
        break;
    }
    if (saved) {
        ws_->History.MarkClean();
        format_ = format;
        NoteRecent(kSaveCommands[static_cast<int>(format)], path);
    }
    if (!path.empty()) {
        Apply(edit::Change::Selection | edit::Change::Polygons); // the writers select and compute normals
    }
    return saved;
}

void MainWindow::SaveModelButton() {
    SaveScgt();
}

void MainWindow::NewModelCommand() {
    if (!ConfirmDiscard()) {
        return;
    }
    NewModel(*ws_);
    RefreshAll();
}

void MainWindow::OpenScgt() {
    if (!ConfirmDiscard()) {
        return;
    }
    const std::string path = ChooseFile(false, "Open SCGT-Model", "", ws_->Settings.ScgtModelPath);
    if (!path.empty()) {
        format_ = ModelFormat::Scgt;
        AfterOpen(formats::OpenVrl(*ws_, path, formats::VrlVariant::Scgt), path, "scgt");
    }
}

void MainWindow::OpenF1() {
    if (!ConfirmDiscard()) {
        return;
    }
    const std::string path = ChooseFile(false, "Open SCGT-Model", "", ws_->Settings.ScgtModelPath);
    if (!path.empty()) {
        format_ = ModelFormat::F1;
        AfterOpen(formats::OpenVrl(*ws_, path, formats::VrlVariant::F1_2000), path, "f1");
    }
}

void MainWindow::OpenBin() {
    if (!ConfirmDiscard()) {
        return;
    }
    const std::string path =
        ChooseFile(false, "Open MTM-Model", "MTM (bin)|*.bin", ws_->Settings.Mtm2ModelPath);
    if (!path.empty()) {
        format_ = ModelFormat::Bin;
        AfterOpen(formats::OpenBin(*ws_, path), path, "bin");
    }
}

void MainWindow::SaveScgt() {
    SaveAs(ModelFormat::Scgt);
}

void MainWindow::SaveF1() {
    SaveAs(ModelFormat::F1);
}

void MainWindow::SaveBin() {
    SaveAs(ModelFormat::Bin);
}

void MainWindow::MergeScgt() {
    const std::string path =
        ChooseFile(false, "Merge SCGT-Model", "SCGT vrl-Format|*.vrl", ws_->Settings.ScgtModelPath);
    if (!path.empty()) {
        formats::MergeAsStep(*ws_, [&] { return formats::MergeVrl(*ws_, path, formats::VrlVariant::Scgt); });
        Apply(edit::Change::Geometry | edit::Change::Polygons | edit::Change::Selection |
              edit::Change::Counts);
    }
}

void MainWindow::MergeF1() {
    const std::string path =
        ChooseFile(false, "Merge F1 2000 Model", "F1 2000 vrl-Format|*.vrl", ws_->Settings.ScgtModelPath);
    if (!path.empty()) {
        formats::MergeAsStep(*ws_,
                             [&] { return formats::MergeVrl(*ws_, path, formats::VrlVariant::F1_2000); });
        Apply(edit::Change::Geometry | edit::Change::Polygons | edit::Change::Selection |
              edit::Change::Counts);
    }
}

void MainWindow::MergeBin() {
    const std::string path =
        ChooseFile(false, "Merge MTM2-Model", "BIN Format|*.bin", ws_->Settings.Mtm2ModelPath);
    if (!path.empty()) {
        formats::MergeAsStep(*ws_, [&] { return formats::MergeBin(*ws_, path); });
        Apply(edit::Change::Geometry | edit::Change::Polygons | edit::Change::Selection |
              edit::Change::Counts);
    }
}

void MainWindow::ImportCommand() {
    if (!ConfirmDiscard()) {
        return;
    }
    QStringList patterns;
    for (const std::string& extension : interchange::ImportExtensions()) {
        patterns << QStringLiteral("*") + ToQString(extension);
    }
    const std::string filter = "3D models|" + ToCore(patterns.join(QLatin1Char(' '))) + "|All files|*";
    const std::string path = ChooseFile(false, "Import Model", filter.c_str(), ws_->Settings.ScgtModelPath);
    if (path.empty()) {
        return;
    }
    const formats::ModelFormat* format = formats::FormatForFile(path);
    if (format == nullptr) {
        ui_.ShowMessage("Import Model", "Unknown model format:\r" + path, model::MessageIcon::Warning,
                        model::MessageButtons::Ok);
        return;
    }
    format_ = ModelFormat::Scgt; // an imported model is saved as a Sports Car GT model
    AfterOpen(formats::OpenModelFile(*ws_, *format, path), path, format->Name);
}

void MainWindow::ReopenModel(const formats::ModelFormat& format, const std::string& path) {
    if (!ConfirmDiscard()) {
        return;
    }
    ws_->Model.ModelPath = path; // as the open dialog leaves it: the save dialogs start there
    format_ = SaveFormatOf(format.Name);
    AfterOpen(formats::OpenModelFile(*ws_, format, path), path, format.Name);
}

bool MainWindow::LoadModels(const std::vector<std::string>& files) {
    const bool f1 = Item("mnuSpecial", 4) != nullptr && Item("mnuSpecial", 4)->isChecked();
    // Any format of the table replaces the model, not only VRL and BIN.
    const formats::ModelFormat* first = formats::DroppedFormat(files.front(), f1);
    if (first != nullptr && !ConfirmDiscard()) {
        return false;
    }
    if (first != nullptr) {
        format_ = SaveFormatOf(first->Name);
    }
    const std::vector<formats::LoadedFile> loaded = formats::LoadDroppedFiles(*ws_, files, f1);
    for (const formats::LoadedFile& file : loaded) {
        NoteRecent(std::string(file.Format->Name), file.Path);
    }
    if (!loaded.empty()) {
        currentFileName_ = model::FileNameOf(loaded.back().Path);
    }
    Apply(edit::Change::Geometry | edit::Change::Polygons | edit::Change::Selection | edit::Change::Counts);
    return true;
}

void MainWindow::NoteRecent(const std::string& command, const std::string& path) {
    config::NoteRecent(ws_->Settings.RecentFiles, {command, path});
    if (recent_ != nullptr) {
        recent_->Rebuild();
    }
}

namespace {

// Some polygons selected, but not all (an opened model has every one selected).
bool PartlySelected(const model::ModelStore& m) {
    int selected = 0;
    const int polygons = model::UsedPolygons(m);
    for (int p = 0; p < polygons; ++p) {
        selected += m.PolySel[p] ? 1 : 0;
    }
    return selected > 0 && selected < polygons;
}

} // namespace

void MainWindow::ExportCommand() {
    if (!HasSomethingToSave("Export Model")) {
        return;
    }
    QStringList filter;
    for (const interchange::ExportFormat& f : interchange::ExportFormats()) {
        filter << ToQString(f.Description + " (." + f.Extension + ")") << ToQString("*." + f.Extension);
    }
    FileRequest request;
    request.Save = true;
    request.Title = QStringLiteral("Export Model");
    request.Filter = filter.join(QLatin1Char('|'));
    // The model's name as a .glb in the folder of the last dialog.
    const std::filesystem::path folder = ws_->Model.ModelPath.empty()
                                             ? std::filesystem::path(ws_->Settings.ScgtModelPath)
                                             : std::filesystem::path(ws_->Model.ModelPath).parent_path();
    const std::filesystem::path name = std::filesystem::path(ws_->Model.ModelFileName).stem();
    request.Start = ToQString(name.empty() ? folder.string() : (folder / name).string() + ".glb");
    const QStringList chosen = ChooseFiles(this, request);
    if (chosen.isEmpty()) {
        return;
    }
    std::string path = ToCore(chosen.front());
    if (!std::filesystem::path(path).has_extension()) {
        path += ".glb"; // the dialog does not tell which filter was chosen
    }
    interchange::ExportOptions o;
    o.Textures = true; // the other tool shows the model as it looks here
    o.SelectionOnly =
        PartlySelected(ws_->Model) &&
        ui_.ShowMessage("Export Model", "Export the selected polygons only?", model::MessageIcon::Question,
                        model::MessageButtons::YesNo) == model::MessageAnswer::Yes;
    const interchange::ExportResult r = interchange::ExportModel(*ws_, path, o);
    if (!r.Ok) {
        ui_.ShowMessage("Export Model", "Cannot export " + path + ":\r" + r.Error,
                        model::MessageIcon::Warning, model::MessageButtons::Ok);
    } else if (!r.MissingTextures.empty()) {
        std::string text = "The model is exported, but these textures could not be written:";
        for (const std::string& t : r.MissingTextures) {
            text += "\r" + t;
        }
        ui_.ShowMessage("Export Model", text, model::MessageIcon::Warning, model::MessageButtons::Ok);
    }
}

void MainWindow::QuitCommand() {
    QApplication::quit(); // closes the windows: asks about unsaved changes, saves the configuration
}

} // namespace zv::app
