// zorvane: the editor. Files named on the command line are opened as if dropped on the views.

#include "app/GlViewWidget.h"
#include "app/MainWindow.h"
#include "config/ConfigFile.h"
#include "interchange/Interchange.h"

#include <QApplication>
#include <QMessageBox>
#include <QOpenGLWidget>
#include <QSurfaceFormat>
#include <QTimer>

int main(int argc, char** argv) {
    zv::interchange::InstallFormats(); // the table of formats is fixed from its first use on
    QSurfaceFormat::setDefaultFormat(zv::app::GlViewWidget::RequiredFormat());
    QApplication app(argc, argv);
    const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
    zv::app::MainWindow window({zv::config::ConfigFilePath(programDir), true});
    window.show();
    // Without an OpenGL context of the required format the program cannot run.
    QTimer::singleShot(0, &window, [&window] {
        auto* gl = window.findChild<QOpenGLWidget*>(QStringLiteral("PicView4"));
        if (gl != nullptr && !gl->isValid()) {
            QMessageBox::critical(&window, QStringLiteral("Zorvane"),
                                  QStringLiteral("ChoosePixelFormat failed"));
            QCoreApplication::exit(1);
        }
    });
    const QStringList files = QCoreApplication::arguments().mid(1);
    if (!files.isEmpty()) {
        QTimer::singleShot(0, &window, [&window, files] { window.LoadFiles(files); });
    }
    return QApplication::exec();
}
