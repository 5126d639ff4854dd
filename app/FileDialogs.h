#pragma once
// File dialogs of the menu commands, with a seam so tests can answer them without a modal loop.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace zv::app {

struct FileRequest {
    bool Save = false;     // a save dialog (asks before overwriting)
    bool Multiple = false; // an open dialog that returns several files
    QString Title;
    QString Filter; // "Name|*.x|Other|*.y"
    QString Start;  // folder or default path
};

// "Name|*.x|Other|*.y" as a Qt filter: "Name (*.x);;Other (*.y)". A trailing odd entry is dropped.
QString QtFilter(const QString& filter);

// The files chosen in the dialog of request; empty when cancelled.
QStringList ChooseFiles(QWidget* parent, const FileRequest& request);

// The one file chosen in the dialog of request; nullopt when cancelled.
std::optional<std::string> ChooseOne(QWidget* parent, const FileRequest& request);

// Answers every following ChooseFiles call instead of a dialog; an empty function restores the
// dialogs.
void SetFileChooser(std::function<QStringList(const FileRequest&)> chooser);

} // namespace zv::app
