// The Special menu of the main window.

#include "app/FileDialogs.h"
#include "app/MainWindow.h"
#include "app/MenuCommands.h"
#include "app/QtText.h"
#include "app/WireframeWidget.h"
#include "formats/PackageLists.h"
#include "textures/TextureLoader.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include <string>
#include <vector>

namespace zv::app {
namespace {

const QString kLoadBackground = QStringLiteral("Load Background Picture");
const QString kRemoveBackground = QStringLiteral("Remove Background Picture");

WireframeWidget* View1(MainWindow& w) {
    return dynamic_cast<WireframeWidget*>(w.findChild<QWidget*>(QStringLiteral("PicView1")));
}

QString ChooseOne(MainWindow& w, bool save, const char* title, const char* filter, const std::string& start) {
    FileRequest request;
    request.Save = save;
    request.Title = QString::fromLatin1(title);
    request.Filter = QString::fromLatin1(filter);
    request.Start = ToQString(start);
    const QStringList chosen = ChooseFiles(&w, request);
    return chosen.isEmpty() ? QString() : chosen.front();
}

// Clears the clipboard, then places text; false when the clipboard does not hold it afterwards.
bool PutOnClipboard(const std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return false;
    }
    clipboard->clear();
    const QString wanted = ToQString(text);
    clipboard->setText(wanted);
    return clipboard->text() == wanted;
}

void CopyList(MainWindow& w, const std::string& text, const char* title, const char* failure) {
    if (!PutOnClipboard(text)) {
        w.Ws().Ui.ShowMessage(title, failure, model::MessageIcon::Critical, model::MessageButtons::Ok);
    }
}

void SavePartsPck(MainWindow& w) {
    Workspace& ws = w.Ws();
    if (ws.Model.PartCount() == 0) {
        return; // nothing to list, and nothing to ask for
    }
    const QString path = ChooseOne(w, true, "Save Parts PCK File", "Pck-Format|*.pck", ws.Model.ModelPath);
    if (!path.isEmpty()) {
        formats::WritePartsPck(ws.Model, ws.Ui, ToCore(path));
    }
}

void SaveTexturePck(MainWindow& w) {
    Workspace& ws = w.Ws();
    const QString path = ChooseOne(w, true, "Save Texture PCK File", "Pck-Format|*.pck", ws.Model.ModelPath);
    if (!path.isEmpty()) {
        formats::WriteTexturePck(ws.Model, ws.Ui, ToCore(path));
    }
}

void BackgroundCommand(MainWindow& w) {
    WireframeWidget* view = View1(w);
    if (view != nullptr && view->HasBackground()) {
        ToggleBackground(w, {});
        return;
    }
    const QString path = ChooseOne(w, false, "Open Background Bitmap", "Bitmap (bmp)|*.bmp", {});
    if (!path.isEmpty()) {
        ToggleBackground(w, path);
    }
}

void ConvertRawCommand(MainWindow& w) {
    FileRequest request;
    request.Multiple = true;
    request.Title = QStringLiteral("Convert MTM Raw to Bmp");
    request.Filter = QStringLiteral("MTM raw-Format|*.raw");
    request.Start = ToQString(w.Ws().Settings.Mtm2ArtPath);
    std::vector<std::string> paths;
    for (const QString& p : ChooseFiles(&w, request)) {
        paths.push_back(ToCore(p));
    }
    if (!paths.empty()) {
        textures::ConvertRawFilesToBmp(paths, w.Ws().Ui);
    }
}

void OnItem(MainWindow& w, int index, void (*command)(MainWindow&)) {
    if (QAction* item = w.Item("mnuSpecial", index)) {
        QObject::connect(item, &QAction::triggered, &w, [&w, command] { command(w); });
    }
}

} // namespace

void ToggleBackground(MainWindow& w, const QString& path) {
    WireframeWidget* view = View1(w);
    QAction* item = w.Item("mnuSpecial", 6);
    if (view == nullptr) {
        return;
    }
    if (view->HasBackground()) {
        view->SetBackground({});
    } else if (!path.isEmpty()) {
        const QImage picture(path);
        if (picture.isNull()) {
            w.Ws().Ui.ShowMessage("Open Background Bitmap", "Can't load background picture",
                                  model::MessageIcon::Warning, model::MessageButtons::Ok);
            return;
        }
        view->SetBackground(picture);
    }
    if (item != nullptr) {
        item->setText(view->HasBackground() ? kRemoveBackground : kLoadBackground);
    }
    w.Draw_All_Views();
}

void ConnectSpecialCommands(MainWindow& w) {
    OnItem(w, 1, SavePartsPck);
    OnItem(w, 2, SaveTexturePck);
    OnItem(w, 6, BackgroundCommand);
    OnItem(w, 8, [](MainWindow& mw) {
        CopyList(mw, formats::PartListClipboardText(mw.Ws().Model), "Save Error",
                 "Can't save parts .pck file");
    });
    OnItem(w, 9, [](MainWindow& mw) {
        CopyList(mw, formats::TextureListClipboardText(mw.Ws().Model), "Error",
                 "Can't copy Texture txt to clipboard");
    });
    OnItem(w, 11, ConvertRawCommand);
}

} // namespace zv::app
