#include "app/OptionsWindow.h"

#include "app/MainWindow.h"
#include "tests/support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFocusEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

namespace zv::app {
namespace {

using config::Settings;

QLineEdit* Text(QWidget& w, const char* name, int index) {
    auto* field = w.findChild<QLineEdit*>(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index));
    EXPECT_NE(field, nullptr) << name << index;
    return field;
}

QPushButton* Button(QWidget& w, const QString& name) {
    auto* button = w.findChild<QPushButton*>(name);
    EXPECT_NE(button, nullptr) << name.toStdString();
    return button;
}

void Leave(QLineEdit* field) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field, &out);
}

Settings Unusual() {
    Settings s;
    s.ScgtModelPath = "/models";
    s.ScgtScenePath = "/scenes";
    s.Mtm2ModelPath = "/mtm/models";
    s.Mtm2ArtPath = "/mtm/art";
    s.MaxTex = 123;
    s.FieldOfView = 45;
    s.Grid = {-2.5f, 7.25f, 0.3f, -100, 0.1f, 0.01f, true, 0.00002f};
    s.ShowTextureErrors = false;
    s.View1_BackColor = config::Rgb(1, 2, 3);
    s.View1_CulledLineColor = config::Rgb(9, 8, 7);
    s.View1_PartnameColor = config::Rgb(200, 100, 50);
    s.View4_BackColor = config::Rgb(10, 20, 30);
    return s;
}

void ExpectSameOptions(const Settings& a, const Settings& b) {
    EXPECT_EQ(a.ScgtModelPath, b.ScgtModelPath);
    EXPECT_EQ(a.ScgtScenePath, b.ScgtScenePath);
    EXPECT_EQ(a.Mtm2ModelPath, b.Mtm2ModelPath);
    EXPECT_EQ(a.Mtm2ArtPath, b.Mtm2ArtPath);
    EXPECT_EQ(a.MaxTex, b.MaxTex);
    EXPECT_EQ(a.FieldOfView, b.FieldOfView);
    EXPECT_EQ(a.Grid.MinX, b.Grid.MinX);
    EXPECT_EQ(a.Grid.MaxX, b.Grid.MaxX);
    EXPECT_EQ(a.Grid.StepX, b.Grid.StepX);
    EXPECT_EQ(a.Grid.MinZ, b.Grid.MinZ);
    EXPECT_EQ(a.Grid.MaxZ, b.Grid.MaxZ);
    EXPECT_EQ(a.Grid.StepZ, b.Grid.StepZ);
    EXPECT_EQ(a.Grid.SnapVertices, b.Grid.SnapVertices);
    EXPECT_EQ(a.Grid.SnapGridSize, b.Grid.SnapGridSize);
    EXPECT_EQ(a.ShowTextureErrors, b.ShowTextureErrors);
    EXPECT_EQ(a.View1_BackColor, b.View1_BackColor);
    EXPECT_EQ(a.View1_LineColor, b.View1_LineColor);
    EXPECT_EQ(a.View1_CulledLineColor, b.View1_CulledLineColor);
    EXPECT_EQ(a.View1_CurrLineColor, b.View1_CurrLineColor);
    EXPECT_EQ(a.View1_SelLineColor, b.View1_SelLineColor);
    EXPECT_EQ(a.View1_CurrEdgeColor, b.View1_CurrEdgeColor);
    EXPECT_EQ(a.View1_SelEdgeColor, b.View1_SelEdgeColor);
    EXPECT_EQ(a.View1_VertColor, b.View1_VertColor);
    EXPECT_EQ(a.View1_SelVertColor, b.View1_SelVertColor);
    EXPECT_EQ(a.View1_PartnameColor, b.View1_PartnameColor);
    EXPECT_EQ(a.View4_BackColor, b.View4_BackColor);
}

TEST(OptionsWindowTest, LoadThenApplyChangesNothing) {
    for (const Settings& start : {Settings{}, Unusual()}) {
        Settings s = start;
        OptionsWindow w(s);
        Settings applied = start;
        w.Apply(applied);
        ExpectSameOptions(applied, start);
    }
}

TEST(OptionsWindowTest, OkRangesTheTextureLimitButTakesAnyPositiveFieldOfView) {
    Settings s;
    OptionsWindow w(s);
    int applied = 0;
    w.Applied = [&] { ++applied; };
    Text(w, "Text1", 11)->setText(QStringLiteral("0"));
    Text(w, "Text1", 12)->setText(QStringLiteral("600"));
    Text(w, "Text1", 0)->setText(QStringLiteral("-33.5"));
    Button(w, QStringLiteral("Command1(0)"))->click();
    EXPECT_EQ(s.MaxTex, 50);
    EXPECT_EQ(s.FieldOfView, 600);
    EXPECT_EQ(s.Grid.MinX, -33.5f);
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(w.result(), QDialog::Accepted);

    const std::vector<std::pair<const char*, int>> maxTex{{"501", 50},  {"-3", 50}, {"99999", 50},
                                                          {"500", 500}, {"1", 1},   {"12.5", 12}};
    for (const auto& [typed, expected] : maxTex) {
        Text(w, "Text1", 11)->setText(QLatin1String(typed));
        w.Apply(s);
        EXPECT_EQ(s.MaxTex, expected) << typed;
    }
    // A zero angle leaves no usable projection.
    for (const char* typed : {"0", "-20"}) {
        Text(w, "Text1", 12)->setText(QLatin1String(typed));
        w.Apply(s);
        EXPECT_EQ(s.FieldOfView, 30) << typed;
    }
    // Snapping divides by the snap size.
    Text(w, "Text1", 6)->setText(QStringLiteral("0"));
    w.Apply(s);
    EXPECT_EQ(s.Grid.SnapGridSize, 5.0f);
    EXPECT_EQ(Text(w, "Text1", 6)->text(), QStringLiteral("5"));
}

TEST(OptionsWindowTest, NonNumericFieldsAreResetWhenLeft) {
    Settings s;
    OptionsWindow w(s);
    const std::vector<const char*> resets{"-10",   "10",  "1", "-10", "10",  "1", "0.01",
                                          "0.005", "0.1", "5", "20",  "500", "30"};
    for (int i = 0; i < static_cast<int>(resets.size()); ++i) {
        QLineEdit* field = Text(w, "Text1", i);
        for (const char* bad : {"abc", "", "12x", "1.2.3"}) {
            field->setText(QLatin1String(bad));
            Leave(field);
            EXPECT_EQ(field->text(), QLatin1String(resets[static_cast<std::size_t>(i)])) << i << " " << bad;
        }
        for (const char* good : {" 7 ", "-.5", "1E+3"}) {
            field->setText(QLatin1String(good));
            Leave(field);
            EXPECT_EQ(field->text(), QLatin1String(good)) << i;
        }
    }
    // OK resets what was never left as well, so it stores what the fields show.
    Text(w, "Text1", 0)->setText(QStringLiteral("x"));
    Text(w, "Text1", 11)->setText(QStringLiteral("many"));
    w.Apply(s);
    EXPECT_EQ(s.Grid.MinX, -10.0f);
    EXPECT_EQ(s.MaxTex, 500);
    EXPECT_EQ(Text(w, "Text1", 0)->text(), QStringLiteral("-10"));
}

TEST(OptionsWindowTest, CancelAppliesNothing) {
    Settings s = Unusual();
    const Settings before = s;
    OptionsWindow w(s);
    bool applied = false;
    w.Applied = [&] { applied = true; };
    w.ChooseColor = [](const QColor&) { return QColor(255, 0, 0); };
    w.ChooseFolder = [](const QString&) { return QStringLiteral("/elsewhere"); };
    Text(w, "Text1", 11)->setText(QStringLiteral("7"));
    Text(w, "Text1", 1)->setText(QStringLiteral("99"));
    Button(w, QStringLiteral("cmdWF_Color(0)"))->click();
    Button(w, QStringLiteral("cmdBrowse(0)"))->click();
    w.findChild<QCheckBox*>(QStringLiteral("CheckSnap"))->setChecked(false);
    Button(w, QStringLiteral("Command1(1)"))->click();
    EXPECT_FALSE(applied);
    EXPECT_EQ(w.result(), QDialog::Rejected);
    ExpectSameOptions(s, before);
}

TEST(OptionsWindowTest, ColourButtonsShowAndChangeTheirColours) {
    Settings s = Unusual();
    OptionsWindow w(s);
    const auto centre = [&](const QString& name) {
        QPushButton* b = Button(w, name);
        return b->grab().toImage().pixelColor(b->width() / 2, b->height() / 2);
    };
    EXPECT_EQ(centre(QStringLiteral("cmdWF_Color(0)")), QColor(1, 2, 3));
    EXPECT_EQ(centre(QStringLiteral("cmdWF_Color(8)")), QColor(9, 8, 7));
    EXPECT_EQ(centre(QStringLiteral("cmdOGL_Color(0)")), QColor(10, 20, 30));

    QColor offered;
    w.ChooseColor = [&](const QColor& current) {
        offered = current;
        return QColor(0, 128, 255);
    };
    Button(w, QStringLiteral("cmdWF_Color(9)"))->click();
    EXPECT_EQ(offered, QColor(200, 100, 50));
    EXPECT_EQ(centre(QStringLiteral("cmdWF_Color(9)")), QColor(0, 128, 255));
    w.ChooseColor = [](const QColor&) { return QColor(); }; // cancelled
    Button(w, QStringLiteral("cmdOGL_Color(0)"))->click();
    EXPECT_EQ(w.ButtonColour(10), config::Rgb(10, 20, 30));

    w.Apply(s);
    EXPECT_EQ(s.View1_PartnameColor, config::Rgb(0, 128, 255));
    EXPECT_EQ(s.View4_BackColor, config::Rgb(10, 20, 30));
}

TEST(OptionsWindowTest, FolderPickerStartsAtTheFieldsFolderOrHome) {
    test::TempDir dir;
    Settings s;
    s.ScgtModelPath = dir.Path().string();
    s.ScgtScenePath = (dir.Path() / "missing").string();
    OptionsWindow w(s);
    QString start;
    QString answer = QStringLiteral("/chosen");
    w.ChooseFolder = [&](const QString& from) {
        start = from;
        return answer;
    };
    Button(w, QStringLiteral("cmdBrowse(0)"))->click();
    EXPECT_EQ(start, QString::fromStdString(dir.Path().string()));
    EXPECT_EQ(Text(w, "Text2", 0)->text(), QStringLiteral("/chosen"));
    Button(w, QStringLiteral("cmdBrowse(1)"))->click();
    EXPECT_EQ(start, QDir::homePath());
    answer.clear(); // cancelled
    Button(w, QStringLiteral("cmdBrowse(1)"))->click();
    EXPECT_EQ(Text(w, "Text2", 1)->text(), QStringLiteral("/chosen"));
    w.Apply(s);
    EXPECT_EQ(s.ScgtModelPath, "/chosen");
    EXPECT_EQ(s.ScgtScenePath, "/chosen");
}

TEST(OptionsWindowTest, SystemInfoShowsAvailableMemory) {
    const std::string meminfo = "MemTotal:       16000000 kB\n"
                                "MemFree:         1000 kB\n"
                                "MemAvailable:    8123456 kB\n"
                                "SwapTotal:       2097148 kB\n"
                                "SwapFree:        2097000 kB\n";
    EXPECT_EQ(PhysicalMemoryLine(meminfo), QStringLiteral("Available physical memory (KB) :  8123456"));
    EXPECT_EQ(PagefileMemoryLine(meminfo), QStringLiteral("Available pagefile memory (KB) :  2097000"));
    EXPECT_EQ(PagefileMemoryLine("SwapFreeX: 5 kB\n"),
              QStringLiteral("Available pagefile memory (KB) :  unknown"));

    Settings s;
    OptionsWindow w(s);
    w.show();
    const auto* physical = w.findChild<QLabel*>(QStringLiteral("LabelPhysicalMemory"));
    ASSERT_NE(physical, nullptr);
    const QString prefix = QStringLiteral("Available physical memory (KB) :  ");
    ASSERT_TRUE(physical->text().startsWith(prefix)) << physical->text().toStdString();
    bool number = false;
    physical->text().mid(prefix.size()).toDouble(&number);
    EXPECT_TRUE(number);
    const auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(4), QStringLiteral("System Info"));
}

TEST(OptionsWindowTest, SettingsCommandOpensTheWindowAndOkReachesTheWorkspace) {
    test::TempDir dir;
    MainWindow main({dir.Write("ZV068.CFG", std::string(";\r\n")), false});
    bool opened = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        opened = modal->objectName() == QStringLiteral("FrmOpt");
        Text(*modal, "Text1", 11)->setText(QStringLiteral("77"));
        Button(*modal, QStringLiteral("Command1(0)"))->click();
    });
    main.Item("mnuFile", 11)->trigger();
    EXPECT_TRUE(opened);
    EXPECT_EQ(main.Ws().Settings.MaxTex, 77);
}

} // namespace
} // namespace zv::app
