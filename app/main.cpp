// zorvane: the editor. Files named on the command line are opened as if dropped on the views.

#include "app/GlViewWidget.h"
#include "app/MainWindow.h"
#include "config/ConfigFile.h"

#include <QApplication>
#include <QMessageBox>
#include <QSurfaceFormat>
#include <QTimer>

int main(int argc, char** argv) {
    QSurfaceFormat::setDefaultFormat(zv::app::GlViewWidget::RequiredFormat());
    QApplication app(argc, argv);
    const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
    zv::app::MainWindow window({zv::config::ConfigFilePath(programDir), true});
    window.show();
    const QStringList files = QCoreApplication::arguments().mid(1);
    if (!files.isEmpty()) {
        QTimer::singleShot(0, &window, [&window, files] { window.LoadFiles(files); });
    }
    return QApplication::exec();
}
