#pragma once
// The recent files of the File menu: one entry per file of the settings' list, inserted above
// the separator before "&Quit" under a separator of their own, each reopening its file with the
// command that opened or saved it.

#include <QObject>

#include <cstddef>
#include <vector>

class QAction;
class QMenu;

namespace zv::app {

class MainWindow;

class RecentFiles : public QObject {
public:
    // Adds the entries of the list as the settings hold it; they are rebuilt whenever the File
    // menu is about to show, so an entry whose file has gone meanwhile shows disabled.
    explicit RecentFiles(MainWindow& w);

    // The entries from the list again: "&1 name" ... "1&0 name" (the file name; the full path as
    // tool and status tip), object names "mnuFileRecent_<i>"; an entry whose file does not
    // exist is disabled. Nothing (not even the separator) when the list is empty.
    void Rebuild();
    // Reopens entry index of the list: a model format's word through the main window (asking
    // about unsaved changes first), "aiw", "path" and "scene" through their menus' opens. A file
    // that no longer exists, or a command word nobody knows, is named in a message box and its
    // entry is removed. An index beyond the list does nothing.
    void Reopen(std::size_t index);
    // The entries' actions, top first.
    const std::vector<QAction*>& Entries() const { return entries_; }

private:
    // The entry removed from the list and the menu.
    void Forget(std::size_t index);

    MainWindow& w_;
    QMenu* menu_ = nullptr;
    QAction* anchor_ = nullptr;    // the separator before "&Quit": entries go above it
    QAction* separator_ = nullptr; // the entries' own separator
    std::vector<QAction*> entries_;
};

} // namespace zv::app
