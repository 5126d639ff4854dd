// The Help and About windows of the main window.

#include "app/MainWindow.h"
#include "app/MenuCommands.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <array>
#include <span>

namespace zv::app {
namespace {

struct KeyLine {
    const char* Key;
    const char* Action;
};

constexpr KeyLine kPage1[] = {
    {"TAB", "Cycle forward through vertices"},
    {"Shift TAB", "Cycle back through vertices"},
    {"N", "Cycle through selected polygon-vertices"},
    {"V", "Select/unselect vertex"},
    {"SPACE", "Cycle forward through polygons"},
    {"Shift SPACE", "Cycle back through polygons"},
    {"Ctrl SPACE", "Cycle through selected polygons"},
    {"Ctrl Shift SPACE", "Cycle back through selected polygons"},
    {"Ctrl D", "Delete current polygon"},
    {"F", "Select/unselect polygon"},
    {"Q", "Select polygons corresponding to selected vertices"},
    {"W", "Deselect all polygons"},
    {"A", "Select vertices corresponding to selected polygons"},
    {"S", "Deselect all vertices"},
};
constexpr KeyLine kPage2[] = {
    {"F1", "Toggle Toolbar2 display"},
    {"F2", "Toggle parts / polygon group display"},
    {"F3", "Toggle dummy group display"},
    {"F5", "Toggle texture display"},
    {"F8", "Toggle waypoint info display"},
    {"F9", "Recalc Normals/cycle through shading-modes"},
    {"F12", "Show mesh properties"},
    {"I", "Cycle forward through current polygon edges"},
    {"Shift I", "Cycle back through current polygon edges"},
    {"O", "Select/unselect polygon edge"},
    {"P", "Deselect all edges"},
    {"Ctrl L", "Add quads to selected edges"},
    {"Ctrl NumPad +", "Split current polygon to triangles"},
    {"Ctrl NumPad -", "Merge selected triangles to quads"},
    {"Arrow Left/Right", "Move OpenGL view left/right"},
    {"Arrow Up/Down", "Move OpenGL view up/down"},
    {"", "(use Shift or Control to move with larger steps)"},
    {"NumPad / or * ", "Change Openl view background brightness"},
    {"Ctrl NumPad / or * ", "Change grid brightness"},
};
constexpr KeyLine kPage3[] = {
    {"F5", "Cycle forward through waypoints"},
    {"Shift F5", "Cycle back through waypoints"},
    {"F6", "Select/unselect waypoint"},
    {"F7", "Toggle Bezier curve editing"},
    {"F8", "Toggle waypoint info display"},
    {"F10", "Toggle 'Bezier XY' ,'Bezier Z' editing"},
    {"F1", "Insert dist. to current wp into wp_width1"},
    {"F2", "Insert dist. to current wp into wp_width2"},
    {"F3", "Insert dist. to current wp into wp_width3"},
    {"F4", "Insert dist. to current wp into wp_width4"},
    {"Ctrl I", "Insert waypoint"},
    {"Ctrl D", "Delete current waypoint"},
};

QString PageText(const char* context, std::span<const KeyLine> lines) {
    QString text = QString::fromLatin1(context) + QLatin1Char('\n');
    for (const KeyLine& line : lines) {
        text +=
            QStringLiteral("%1\t%2\n").arg(QString::fromLatin1(line.Key), QString::fromLatin1(line.Action));
    }
    return text;
}

// Form4: closes on any key, also those typed while the info box has the focus.
class AboutWindow : public QDialog {
public:
    explicit AboutWindow(QWidget* owner) : QDialog(owner) {
        setObjectName(QStringLiteral("Form4"));
        setWindowTitle(QStringLiteral("About"));
        setAttribute(Qt::WA_DeleteOnClose);
        auto* layout = new QVBoxLayout(this);
        auto* version = new QLabel(QStringLiteral("v. 0.681"), this);
        version->setObjectName(QStringLiteral("Label1"));
        layout->addWidget(version);
        auto* info = new QPlainTextEdit(AboutInfoText(), this);
        info->setObjectName(QStringLiteral("txtZvInfo"));
        info->setReadOnly(true);
        info->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(info);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        event->accept();
        close();
    }
};

// An item-less top-level menu acts as a command: it opens its window instead of a popup.
void OpenOnClick(MainWindow& w, const char* menuName, QWidget* (*open)(QWidget*)) {
    auto* menu = w.findChild<QMenu*>(QString::fromLatin1(menuName));
    if (menu == nullptr) {
        return;
    }
    QObject::connect(menu, &QMenu::aboutToShow, &w, [&w, menu, open] {
        // The empty popup closes first, so it cannot take the new window's keys.
        QTimer::singleShot(0, &w, [&w, menu, open] {
            menu->close();
            open(&w);
        });
    });
}

} // namespace

QString AboutInfoText() {
    return QStringLiteral("Version Info:\n"
                          "Max. number of Vertices: 80000\n"
                          "Max. number of Poygons: 80000\n"
                          "\n"
                          "Max. number of Parts/Groups: 800\n"
                          "Max. number of Polygons in a Group: 1280\n"
                          "\n"
                          "Max. number of Textures: 500");
}

QWidget* ShowAboutWindow(QWidget* owner) {
    auto* about = new AboutWindow(owner);
    about->setModal(true);
    about->show();
    return about;
}

QString KeyHelpPage(int page) {
    switch (page) {
    case 1:
        return PageText("In 'CAMERA or EDIT MODE:", kPage1);
    case 2:
        return PageText("In 'CAMERA or EDIT MODE:", kPage2);
    case 3:
        return PageText("In 'WAYPOINT EDIT MODE':", kPage3);
    default:
        return {};
    }
}

QWidget* ShowKeyHelpWindow(QWidget* owner) {
    auto* window = new QWidget(owner, Qt::Tool);
    window->setObjectName(QStringLiteral("KeyHelp"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Keyboard Assignment Info"));
    auto* layout = new QVBoxLayout(window);
    auto* pages = new QTabWidget(window);
    for (int page = 1; page <= 3; ++page) {
        auto* text = new QPlainTextEdit(KeyHelpPage(page), pages);
        text->setReadOnly(true);
        text->setObjectName(QStringLiteral("KeyHelpPage%1").arg(page));
        pages->addTab(text, QStringLiteral("                 Keyboard Assignment Info %1/3").arg(page));
    }
    layout->addWidget(pages);
    window->resize(520, 480);
    window->show();
    return window;
}

void ConnectHelpWindows(MainWindow& w) {
    OpenOnClick(w, "mnu_Info", ShowKeyHelpWindow);
    OpenOnClick(w, "mnu_about", ShowAboutWindow);
}

} // namespace zv::app
