// zorvane: the editor. Files named on the command line are opened as if dropped on the views.

#include "app/GlViewWidget.h"
#include "app/MainWindow.h"
#include "config/ConfigFile.h"
#include "formats/ModelFormat.h"
#include "interchange/Interchange.h"
#include "model/Capacities.h"

#include <QApplication>
#include <QMessageBox>
#include <QOpenGLWidget>
#include <QSurfaceFormat>
#include <QTimer>

#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The extensions that alone decide how the editor opens a file: ".vrl, .bin, ...".
std::string OpenedExtensions() {
    std::vector<std::string_view> seen;
    std::string list;
    for (const zv::formats::ModelFormat& f : zv::formats::ModelFormats()) {
        for (const std::string_view ext : f.Extensions) {
            if (f.ExtensionDecides && std::find(seen.begin(), seen.end(), ext) == seen.end()) {
                seen.push_back(ext);
                list += (list.empty() ? "" : ", ") + std::string(ext);
            }
        }
    }
    return list;
}

void PrintUsage() {
    std::cout
        << "Usage: zorvane [FILE...]\n"
           "\n"
           "The Zorvane editor for the 3D models, tracks and AI waypoint files of late-1990s racing games.\n"
           "Each FILE opens as if dropped on the views: the first replaces the model, later ones are\n"
           "merged into it; without a window, zorvane-cli(1) converts and inspects the same files.\n"
           "The extension decides how a file opens: models "
        << OpenedExtensions()
        << "; AI waypoint files .aiw; path files .zvp.\n"
           "A file of another extension opens when its first bytes tell its format; others are skipped.\n"
           "\n"
           "Options:\n"
           "  -h, --help     print this help and exit\n"
           "      --version  print the version and exit\n"
           "\n"
           "Files:\n"
           "The settings live in "
        << zv::config::kConfigFileName
        << ", in the program's folder when that folder is writable and not a system folder\n"
           "(/usr/..., /bin, /opt/...), otherwise in $XDG_CONFIG_HOME/zorvane/ (default ~/.config/zorvane/).\n"
           "A missing file gives defaults.\n";
}

// Answers --help and --version without a display; true when the program is done.
bool AnswerInfoOption(int argc, char** argv) {
    if (argc != 2) {
        return false;
    }
    const std::string_view arg = argv[1];
    if (arg == "--help" || arg == "-h") {
        PrintUsage();
        return true;
    }
    if (arg == "--version") {
        std::cout << "zorvane " << zv::model::kVersion << "\n";
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    zv::interchange::InstallFormats(); // the table of formats is fixed from its first use on
    if (AnswerInfoOption(argc, argv)) {
        return 0;
    }
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
