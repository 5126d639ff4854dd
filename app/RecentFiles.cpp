#include "app/RecentFiles.h"

#include "app/MainWindow.h"
#include "app/MenuTable.h"
#include "app/PathCommands.h"
#include "app/QtText.h"
#include "app/SceneCommands.h"
#include "app/WaypointCommands.h"
#include "config/Settings.h"
#include "formats/ModelFormat.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include <filesystem>
#include <system_error>

namespace zv::app {
namespace {

constexpr const char* kFileMenu = "mnuFile";

// "&1 name" ... "&9 name", "1&0 name"; an ampersand of the name is shown, not a mnemonic.
QString EntryText(std::size_t index, const std::string& path) {
    const QString number = index < 9 ? QStringLiteral("&%1").arg(index + 1) : QStringLiteral("1&0");
    QString name = QFileInfo(ToQString(path)).fileName();
    return number + QLatin1Char(' ') + name.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// The File menu's "&Quit", found through the table so items may be added above it.
QAction* QuitItem(const MainWindow& w) {
    for (const MenuDef& def : MainMenus()) {
        for (std::size_t i = 0; def.Name == kFileMenu && i < def.Items.size(); ++i) {
            if (def.Items[i].Caption == "&Quit") {
                return w.Item(kFileMenu, static_cast<int>(i));
            }
        }
    }
    return nullptr;
}

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

} // namespace

RecentFiles::RecentFiles(MainWindow& w) : QObject(&w), w_(w) {
    setObjectName(QStringLiteral("RecentFiles"));
    menu_ = w.findChild<QMenu*>(QString::fromLatin1(kFileMenu));
    if (menu_ == nullptr) {
        return;
    }
    const QList<QAction*> items = menu_->actions();
    const qsizetype quit = items.indexOf(QuitItem(w));
    if (quit >= 0) {
        anchor_ = quit > 0 && items[quit - 1]->isSeparator() ? items[quit - 1] : items[quit];
    }
    menu_->setToolTipsVisible(true); // the full paths; items without a tip of their own show none
    connect(menu_, &QMenu::aboutToShow, this, [this] { Rebuild(); });
    Rebuild();
}

void RecentFiles::Rebuild() {
    if (menu_ == nullptr) {
        return;
    }
    // Later, not now: Rebuild may run inside the triggered signal of the entry being replaced.
    for (QAction* entry : entries_) {
        menu_->removeAction(entry);
        entry->deleteLater();
    }
    entries_.clear();
    const std::vector<config::RecentFile>& list = w_.Ws().Settings.RecentFiles;
    if (separator_ == nullptr) {
        separator_ = new QAction(this);
        separator_->setSeparator(true);
        separator_->setObjectName(QStringLiteral("mnuFileRecent_separator"));
        menu_->insertAction(anchor_, separator_);
    }
    separator_->setVisible(!list.empty());
    for (std::size_t i = 0; i < list.size(); ++i) {
        auto* entry = new QAction(EntryText(i, list[i].Path), this);
        entry->setObjectName(QStringLiteral("mnuFileRecent_%1").arg(i));
        entry->setToolTip(ToQString(list[i].Path));
        entry->setStatusTip(ToQString(list[i].Path));
        entry->setEnabled(Exists(list[i].Path));
        connect(entry, &QAction::triggered, this, [this, i] { Reopen(i); });
        menu_->insertAction(anchor_, entry);
        entries_.push_back(entry);
    }
}

void RecentFiles::Reopen(std::size_t index) {
    const std::vector<config::RecentFile>& list = w_.Ws().Settings.RecentFiles;
    if (index >= list.size()) {
        return;
    }
    const config::RecentFile file = list[index]; // the opens below reorder the list
    model::UserInterface& ui = w_.Ws().Ui;
    if (!Exists(file.Path)) {
        ui.ShowMessage("Recent Files", "File not found:\r" + file.Path, model::MessageIcon::Warning,
                       model::MessageButtons::Ok);
        Forget(index);
        return;
    }
    if (file.Command == "aiw") {
        if (WaypointCommands* commands = FindWaypointCommands(w_)) {
            commands->OpenFile(file.Path);
        }
    } else if (file.Command == "path") {
        if (PathCommands* commands = FindPathCommands(w_)) {
            commands->OpenFile(file.Path);
        }
    } else if (file.Command == "scene") {
        if (SceneCommands* commands = FindSceneCommands(w_)) {
            commands->OpenFile(file.Path);
        }
    } else if (const formats::ModelFormat* format = formats::FindFormat(file.Command)) {
        w_.ReopenModel(*format, file.Path);
    } else {
        ui.ShowMessage("Recent Files", "Unknown command \"" + file.Command + "\" for\r" + file.Path,
                       model::MessageIcon::Warning, model::MessageButtons::Ok);
        Forget(index);
    }
}

void RecentFiles::Forget(std::size_t index) {
    std::vector<config::RecentFile>& list = w_.Ws().Settings.RecentFiles;
    if (index < list.size()) {
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
    }
    Rebuild();
}

} // namespace zv::app
