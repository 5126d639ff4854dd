#include "app/FileDialogs.h"

#include "app/QtText.h"

#include <QFileDialog>

#include <utility>

namespace zv::app {
namespace {

std::function<QStringList(const FileRequest&)>& Chooser() {
    static std::function<QStringList(const FileRequest&)> chooser;
    return chooser;
}

} // namespace

QString QtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        out << parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

QStringList ChooseFiles(QWidget* parent, const FileRequest& request) {
    if (Chooser()) {
        return Chooser()(request);
    }
    const QString filter = QtFilter(request.Filter);
    if (request.Multiple) {
        return QFileDialog::getOpenFileNames(parent, request.Title, request.Start, filter);
    }
    const QString chosen = request.Save
                               ? QFileDialog::getSaveFileName(parent, request.Title, request.Start, filter)
                               : QFileDialog::getOpenFileName(parent, request.Title, request.Start, filter);
    return chosen.isEmpty() ? QStringList{} : QStringList{chosen};
}

void SetFileChooser(std::function<QStringList(const FileRequest&)> chooser) {
    Chooser() = std::move(chooser);
}

std::optional<std::string> ChooseOne(QWidget* parent, const FileRequest& request) {
    const QStringList chosen = ChooseFiles(parent, request);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return ToCore(chosen.front());
}

} // namespace zv::app
