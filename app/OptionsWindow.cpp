#include "app/OptionsWindow.h"

#include "app/GlViewWidget.h"
#include "app/InputPanel.h"
#include "app/MainWindow.h"
#include "app/QtText.h"
#include "app/StatusPanels.h"
#include "config/ConfigFormat.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>

namespace zv::app {
namespace {

using config::Settings;

constexpr int kMemoryRefreshMs = 1000;
constexpr int kFieldOfViewField = 12;
constexpr int kMaxTexField = 11;
constexpr int kSnapField = 6;
constexpr int kFirstKeyStepField = 7;
constexpr int kOglColour = kWireframeColourCount;
constexpr int kDefaultFieldOfView = 30;
constexpr int kMaxTexOutOfRange = 50;

// What a Text1 field becomes when left with a non-numeric text, by field number.
constexpr std::array<const char*, kOptionFieldCount> kResetText{
    "-10", "10", "1", "-10", "10", "1", "0.01", "0.005", "0.1", "5", "20", "500", "30"};

// The setting of each colour button cmdWF_Color(i), then cmdOGL_Color(0).
constexpr std::array<std::int32_t Settings::*, kWireframeColourCount + 1> kColourSetting{
    &Settings::View1_BackColor,     &Settings::View1_LineColor,     &Settings::View1_CurrLineColor,
    &Settings::View1_SelLineColor,  &Settings::View1_CurrEdgeColor, &Settings::View1_SelEdgeColor,
    &Settings::View1_VertColor,     &Settings::View1_SelVertColor,  &Settings::View1_CulledLineColor,
    &Settings::View1_PartnameColor, &Settings::View4_BackColor};

// The wireframe buttons in their on-screen order, with their labels.
struct ColourRow {
    int Index;
    const char* Label;
};
constexpr std::array<ColourRow, kWireframeColourCount> kWireframeRows{{
    {0, "Background"},
    {1, "Unselected Polys (facing to screen)"},
    {8, "Unselected Polys (facing away...)"},
    {2, "Current Poly"},
    {3, "Selected Polys"},
    {4, "Current Edge"},
    {5, "Selected Edge"},
    {6, "Unsel. Vertices"},
    {7, "Sel. Vertices"},
    {9, "Partnames"},
}};

// The folder fields Text2(0..3) and the settings they show.
constexpr std::array<std::string Settings::*, 4> kFolderSetting{
    &Settings::ScgtModelPath, &Settings::ScgtScenePath, &Settings::Mtm2ModelPath, &Settings::Mtm2ArtPath};
constexpr std::array<const char*, 4> kFolderLabel{"SCGT Model Path", "SCGT Scene Path", "CPR\\MTM Model Path",
                                                  "CPR\\MTM Art Path"};

QString Indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

// A number the way a user types it: "0.01" rather than ".01".
QString FieldText(float value) {
    std::string text = config::FormatSingle(value);
    if (text.starts_with('.')) {
        text.insert(0, "0");
    } else if (text.starts_with("-.")) {
        text.insert(1, "0");
    }
    return QString::fromStdString(text);
}

QString FieldText(std::int64_t value) {
    return QString::number(value);
}

std::string Core(const QLineEdit* field) {
    return field->text().toStdString();
}

QColor ToQColor(std::int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

std::int32_t FromQColor(const QColor& c) {
    return config::Rgb(c.red(), c.green(), c.blue());
}

// The kilobytes of one /proc/meminfo entry ("MemAvailable:   123 kB").
std::optional<double> MeminfoKb(std::string_view meminfo, std::string_view key) {
    std::size_t at = 0;
    while (at < meminfo.size()) {
        const std::size_t end = std::min(meminfo.find('\n', at), meminfo.size());
        const std::string_view line = meminfo.substr(at, end - at);
        if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == ':') {
            return config::ReadNumber(line.substr(key.size() + 1));
        }
        at = end + 1;
    }
    return std::nullopt;
}

QString MemoryLine(const char* caption, std::optional<double> kb) {
    const QString number = kb ? QString::number(*kb, 'g', 15) : QStringLiteral("unknown");
    return QLatin1String(caption) + QLatin1Char(' ') + number;
}

QString DefaultChooseFolder(QWidget* parent, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Select Folder"), start);
}

} // namespace

QString PhysicalMemoryLine(std::string_view meminfo) {
    return MemoryLine("Available physical memory (KB) : ", MeminfoKb(meminfo, "MemAvailable"));
}

QString PagefileMemoryLine(std::string_view meminfo) {
    return MemoryLine("Available pagefile memory (KB) : ", MeminfoKb(meminfo, "SwapFree"));
}

OptionsWindow::OptionsWindow(config::Settings& settings, QWidget* parent)
    : ToolWindow(parent, settings.OptionsWinPosition), settings_(settings) {
    setObjectName(QStringLiteral("FrmOpt"));
    setWindowTitle(QStringLiteral("Options"));
    ChooseFolder = [this](const QString& start) { return DefaultChooseFolder(this, start); };
    ChooseColor = [this](const QColor& current) { return QColorDialog::getColor(current, this); };

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("SSTab1"));
    tabs->addTab(BuildGeneralTab(), QStringLiteral("General"));
    tabs->addTab(BuildGridTab(), QStringLiteral("Grid"));
    tabs->addTab(BuildDirectoriesTab(), QStringLiteral("Directories"));
    tabs->addTab(BuildColorsTab(), QStringLiteral("Colors"));
    tabs->addTab(BuildSystemTab(), QStringLiteral("System Info"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1(0)"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command1(1)"));
    connect(ok, &QPushButton::clicked, this, [this] { Ok(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);

    memoryTimer_ = new QTimer(this);
    memoryTimer_->setInterval(kMemoryRefreshMs);
    connect(memoryTimer_, &QTimer::timeout, this, [this] { RefreshMemory(); });
    Load(settings_);
}

QLineEdit* OptionsWindow::Field(int index) {
    auto* field = new QLineEdit(this);
    field->setObjectName(Indexed("Text1", index));
    field->installEventFilter(this);
    text1_.at(static_cast<std::size_t>(index)) = field;
    return field;
}

QWidget* OptionsWindow::BuildGeneralTab() {
    auto* tab = new QWidget;
    auto* limits = new QFormLayout;
    limits->addRow(QStringLiteral("Max. textures to load"), Field(kMaxTexField));
    limits->addRow(QStringLiteral("Field of View"), Field(kFieldOfViewField));

    auto* warnings = new QGroupBox(QStringLiteral("Warnings"));
    bmpErrors_ = new QCheckBox(QStringLiteral("Show Error Message if a Texture can't be found."));
    bmpErrors_->setObjectName(QStringLiteral("CheckBmpLErr"));
    (new QVBoxLayout(warnings))->addWidget(bmpErrors_);

    // Shown for reference only: the nudge keys use these steps as fixed values.
    auto* steps = new QGroupBox(QStringLiteral("Stepsize for vertex  movement with keys"));
    auto* stepForm = new QFormLayout(steps);
    const std::array<const char*, 4> stepLabels{"Key only", "Key + Shift", "Key + Ctrl", "Key+Sh+Ctrl"};
    for (int i = 0; i < 4; ++i) {
        QLineEdit* field = Field(kFirstKeyStepField + i);
        field->setText(QLatin1String(kResetText.at(static_cast<std::size_t>(kFirstKeyStepField + i))));
        stepForm->addRow(QLatin1String(stepLabels.at(static_cast<std::size_t>(i))), field);
    }

    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(limits);
    layout->addWidget(warnings);
    layout->addWidget(steps);
    layout->addStretch();
    return tab;
}

QWidget* OptionsWindow::BuildGridTab() {
    auto* tab = new QWidget;
    auto* form = new QFormLayout(tab);
    const std::array<const char*, 6> labels{"minX", "maxX", "Step", "minZ", "maxZ", "Step"};
    for (int i = 0; i < 6; ++i) {
        form->addRow(QLatin1String(labels.at(static_cast<std::size_t>(i))), Field(i));
    }
    snap_ = new QCheckBox(QStringLiteral("Snap Vertices"));
    snap_->setObjectName(QStringLiteral("CheckSnap"));
    form->addRow(snap_);
    form->addRow(QStringLiteral("Snapgrid"), Field(kSnapField));
    return tab;
}

QWidget* OptionsWindow::BuildDirectoriesTab() {
    auto* tab = new QWidget;
    auto* grid = new QGridLayout(tab);
    for (int i = 0; i < 4; ++i) {
        auto* field = new QLineEdit;
        field->setObjectName(Indexed("Text2", i));
        field->setReadOnly(true); // changed through the folder picker only
        text2_.at(static_cast<std::size_t>(i)) = field;
        auto* browse = new QPushButton(QStringLiteral("..."));
        browse->setObjectName(Indexed("cmdBrowse", i));
        connect(browse, &QPushButton::clicked, this, [this, i] { Browse(i); });
        grid->addWidget(new QLabel(QLatin1String(kFolderLabel.at(static_cast<std::size_t>(i)))), 2 * i, 0, 1,
                        2);
        grid->addWidget(field, 2 * i + 1, 0);
        grid->addWidget(browse, 2 * i + 1, 1);
    }
    grid->setRowStretch(8, 1);
    return tab;
}

QPushButton* OptionsWindow::ColourButton(int index, const QString& name) {
    auto* button = new QPushButton;
    button->setObjectName(name);
    button->setFixedSize(48, 20);
    connect(button, &QPushButton::clicked, this, [this, index] { PickColour(index); });
    colourButtons_.at(static_cast<std::size_t>(index)) = button;
    return button;
}

QWidget* OptionsWindow::BuildColorsTab() {
    auto* tab = new QWidget;
    auto* wireframe = new QGroupBox(QStringLiteral("Wireframe View"));
    auto* wireForm = new QFormLayout(wireframe);
    for (const ColourRow& row : kWireframeRows) {
        wireForm->addRow(QLatin1String(row.Label),
                         ColourButton(row.Index, Indexed("cmdWF_Color", row.Index)));
    }
    auto* opengl = new QGroupBox(QStringLiteral("OpenGL View"));
    (new QFormLayout(opengl))
        ->addRow(QStringLiteral("Background"), ColourButton(kOglColour, Indexed("cmdOGL_Color", 0)));
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(wireframe);
    layout->addWidget(opengl);
    layout->addStretch();
    return tab;
}

QWidget* OptionsWindow::BuildSystemTab() {
    auto* tab = new QWidget;
    physical_ = new QLabel;
    physical_->setObjectName(QStringLiteral("LabelPhysicalMemory"));
    pagefile_ = new QLabel;
    pagefile_->setObjectName(QStringLiteral("LabelPagefileMemory"));
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(physical_);
    layout->addWidget(pagefile_);
    layout->addStretch();
    return tab;
}

void OptionsWindow::Load(const config::Settings& s) {
    const config::GridProperties& g = s.Grid;
    const std::array<float, 6> grid{g.MinX, g.MaxX, g.StepX, g.MinZ, g.MaxZ, g.StepZ};
    for (std::size_t i = 0; i < grid.size(); ++i) {
        text1_[i]->setText(FieldText(grid[i]));
    }
    text1_[kSnapField]->setText(FieldText(g.SnapGridSize));
    snap_->setChecked(g.SnapVertices);
    text1_[kMaxTexField]->setText(FieldText(std::int64_t{s.MaxTex}));
    text1_[kFieldOfViewField]->setText(FieldText(std::int64_t{s.FieldOfView}));
    for (std::size_t i = 0; i < kFolderSetting.size(); ++i) {
        text2_[i]->setText(ToQString(s.*kFolderSetting[i]));
    }
    for (std::size_t i = 0; i < kColourSetting.size(); ++i) {
        SetColour(static_cast<int>(i), s.*kColourSetting[i]);
    }
    bmpErrors_->setChecked(s.ShowTextureErrors);
}

void OptionsWindow::Apply(config::Settings& s) {
    for (int i = 0; i < kOptionFieldCount; ++i) {
        ResetIfNotNumeric(i);
    }
    for (std::size_t i = 0; i < kFolderSetting.size(); ++i) {
        s.*kFolderSetting[i] = ToCore(text2_[i]->text());
    }
    const std::int16_t maxTex = config::ReadInteger(Core(text1_[kMaxTexField]));
    s.MaxTex = maxTex >= 1 && maxTex <= 500 ? maxTex : std::int16_t{kMaxTexOutOfRange};
    // Any positive angle is taken as typed; a zero angle would leave the projection unset.
    const std::int32_t fov = config::ReadLong(Core(text1_[kFieldOfViewField]));
    s.FieldOfView = fov > 0 ? fov : kDefaultFieldOfView;

    config::GridProperties& g = s.Grid;
    const std::array<float*, 6> grid{&g.MinX, &g.MaxX, &g.StepX, &g.MinZ, &g.MaxZ, &g.StepZ};
    for (std::size_t i = 0; i < grid.size(); ++i) {
        *grid[i] = config::ReadSingle(Core(text1_[i]));
    }
    g.SnapVertices = snap_->isChecked();
    // Snapping divides by the size, so the limits of the configuration file apply here too.
    const float snap = config::ReadSingle(Core(text1_[kSnapField]));
    g.SnapGridSize = snap < 0.00001f ? 5.0f : std::min(snap, 256.0f);
    text1_[kSnapField]->setText(FieldText(g.SnapGridSize));

    for (std::size_t i = 0; i < kColourSetting.size(); ++i) {
        s.*kColourSetting[i] = colours_[i];
    }
    s.ShowTextureErrors = bmpErrors_->isChecked();
}

void OptionsWindow::ResetIfNotNumeric(int index) {
    QLineEdit* field = text1_.at(static_cast<std::size_t>(index));
    if (!IsNumeric(field->text())) {
        field->setText(QLatin1String(kResetText.at(static_cast<std::size_t>(index))));
    }
}

bool OptionsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        for (int i = 0; i < kOptionFieldCount; ++i) {
            if (watched == text1_.at(static_cast<std::size_t>(i))) {
                ResetIfNotNumeric(i);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void OptionsWindow::Browse(int folder) {
    QLineEdit* field = text2_.at(static_cast<std::size_t>(folder));
    const QString current = field->text();
    const QString start = !current.isEmpty() && QFileInfo(current).isDir() ? current : QDir::homePath();
    const QString chosen = ChooseFolder ? ChooseFolder(start) : QString();
    if (!chosen.isEmpty()) {
        field->setText(QDir::toNativeSeparators(chosen));
    }
}

void OptionsWindow::PickColour(int index) {
    if (!ChooseColor) {
        return;
    }
    const QColor chosen = ChooseColor(ToQColor(colours_.at(static_cast<std::size_t>(index))));
    if (chosen.isValid()) {
        SetColour(index, FromQColor(chosen));
    }
}

void OptionsWindow::SetColour(int index, std::int32_t colour) {
    colours_.at(static_cast<std::size_t>(index)) = colour;
    colourButtons_.at(static_cast<std::size_t>(index))
        ->setStyleSheet(
            QStringLiteral("background-color: %1; border: 1px solid black;").arg(ToQColor(colour).name()));
}

void OptionsWindow::RefreshMemory() {
    QFile file(QStringLiteral("/proc/meminfo"));
    const std::string text = file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    physical_->setText(PhysicalMemoryLine(text));
    pagefile_->setText(PagefileMemoryLine(text));
}

void OptionsWindow::showEvent(QShowEvent* event) {
    ToolWindow::showEvent(event);
    RefreshMemory();
    memoryTimer_->start();
}

void OptionsWindow::hideEvent(QHideEvent* event) {
    memoryTimer_->stop();
    ToolWindow::hideEvent(event);
}

void OptionsWindow::Ok() {
    Apply(settings_);
    if (Applied) {
        Applied();
    }
    accept();
}

// Lives here with the options, which are its only caller.
void MainWindow::ApplyViewSettings() {
    if (view4_ != nullptr && view4_->isValid()) {
        view4_->makeCurrent();
        view4_->Renderer().SetClearColor(ws_->Settings);
        view4_->Renderer().BuildGridList(ws_->Settings);
        view4_->Renderer().SetViewport(ws_->Settings, view4_->width(), view4_->height());
        view4_->doneCurrent();
    }
    panels_->ShowSnap(ws_->Settings.Grid);
    RefreshAll();
}

void ConnectOptionsCommand(MainWindow& w) {
    QAction* item = w.Item("mnuFile", 11);
    if (item == nullptr) {
        return;
    }
    QObject::connect(item, &QAction::triggered, &w, [&w] {
        OptionsWindow options(w.Ws().Settings, &w);
        options.Applied = [&w] { w.ApplyViewSettings(); };
        options.exec();
    });
}

} // namespace zv::app
