#include "app/WaypointWindow.h"

#include "app/MainWindow.h"
#include "app/QtText.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>

#include <cmath>
#include <cstdio>
#include <string>

namespace zv::app {
namespace {

using waypoints::WpField;

struct FieldDef {
    WpField Field;
    const char* Caption; // "" for the second field of a row
    int Row;
    int Column; // 1: the first field of the row, 2: the second
};

constexpr FieldDef kFields[] = {
    {WpField::X, "X", 0, 1},
    {WpField::Y, "Y", 1, 1},
    {WpField::Z, "Z", 2, 1},
    {WpField::Camber, "Camber", 3, 1},
    {WpField::Elevation, "Elevation", 4, 1},
    {WpField::Width1, "Paving", 5, 1},
    {WpField::Width2, "", 5, 2},
    {WpField::Width3, "Left", 6, 1},
    {WpField::Width4, "Right", 7, 1},
    {WpField::Score1, "Checkpoint", 8, 1},
    {WpField::Score2, "Distance/m", 9, 1},
    {WpField::Score3, "", 10, 1},
    {WpField::Score4, "", 10, 2},
    {WpField::Opt1, "Grip", 11, 1},
    {WpField::Opt2, "Lateral step", 12, 1},
    {WpField::Opt3, "Corridor width", 13, 1},
    {WpField::Depth, "Depth", 14, 1},
    // Row 15 holds the depth profile.
    {WpField::Ins, "Trackpart", 16, 1},
    {WpField::Prev, "Prev", 17, 1},
    {WpField::Next, "Next", 18, 1},
    {WpField::Branch1, "Branch1", 19, 1},
    {WpField::Branch2, "Branch 2", 20, 1},
    {WpField::Key, "Key", 21, 1},
    {WpField::Marks, "Marks", 22, 1},
    {WpField::Events, "Events", 23, 1},
};
constexpr int kProfileRow = 15;
constexpr int kDistanceRow = 24;
constexpr int kProfileScale = 512; // the value at the top edge of the profile

const char* const kPopupItems[] = {"Select all Wps with same value", "Copy to Lateral Step",
                                   "Calculate Corridor Width"};

// v rounded to decimals places in its shortest form ("12.5", "0", "-0.25").
QString Shortest(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    std::string s = text;
    if (s.find('.') != std::string::npos) {
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') {
            s.pop_back();
        }
    }
    return s == "-0" ? QStringLiteral("0") : QString::fromStdString(s);
}

// The masks "##,##0.0...": groups of three digits before the point, decimals digits after it.
QString Grouped(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, std::fabs(v));
    const std::string s = text;
    const std::size_t point = s.find('.');
    const std::string whole = s.substr(0, point);
    std::string out;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) {
            out += ',';
        }
        out += whole[i];
    }
    out += s.substr(point == std::string::npos ? s.size() : point);
    const bool zero = s.find_first_not_of("0.") == std::string::npos;
    return QString::fromStdString(v < 0 && !zero ? "-" + out : out);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

QString WaypointFieldText(const waypoints::WaypointRec& w, WpField f) {
    switch (f) {
    case WpField::Depth:
        return ToQString(w.depth);
    case WpField::Ins:
        return ToQString(w.ins);
    case WpField::X:
    case WpField::Y:
    case WpField::Z:
        return Shortest(waypoints::FieldValue(w, f), 8);
    case WpField::Camber:
    case WpField::Elevation:
        return Grouped(waypoints::FieldValue(w, f), 6);
    case WpField::Opt1:
    case WpField::Opt2:
    case WpField::Opt3:
        return Grouped(waypoints::FieldValue(w, f), 10);
    default:
        break;
    }
    if (waypoints::IsIntegerField(f)) {
        return QString::number(static_cast<int>(waypoints::FieldValue(w, f)));
    }
    return Grouped(waypoints::FieldValue(w, f), 4); // widths and scores
}

std::optional<double> TypedNumber(const QString& text) {
    static const QRegularExpression grouped(QStringLiteral("^[-+]?\\d{1,3}(,\\d{3})+(\\.\\d*)?$"));
    QString s = text.trimmed();
    if (grouped.match(s).hasMatch()) {
        s.remove(QLatin1Char(','));
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(s, &ok);
    if (!ok || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

std::vector<int> DepthBytes(std::string_view depth) {
    std::vector<int> out;
    for (std::size_t i = 0; i + 1 < depth.size(); i += 2) {
        const int hi = HexDigit(depth[i]), lo = HexDigit(depth[i + 1]);
        out.push_back(hi < 0 || lo < 0 ? 0 : hi * 16 + lo);
    }
    return out;
}

// ---- Depth profile ----------------------------------------------------------------------------

DepthProfile::DepthProfile(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Pict_Depth"));
    setMinimumSize(160, 64);
}

void DepthProfile::SetDepth(std::string_view depth) {
    std::vector<int> values = DepthBytes(depth);
    if (values != values_) {
        values_ = std::move(values);
        update();
    }
}

void DepthProfile::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const int marks = fontMetrics().horizontalAdvance(QStringLiteral("512 "));
    const QRectF plot(marks, 2, width() - marks - 2, height() - 4);
    p.setPen(Qt::darkGray);
    for (const int mark : {0, 256, 512}) {
        const double y = plot.bottom() - plot.height() * mark / kProfileScale;
        p.drawText(QRectF(0, y - 8, marks - 2, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(mark));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    if (values_.size() < 2) {
        return;
    }
    QPolygonF line;
    const double step = plot.width() / static_cast<double>(values_.size() - 1);
    for (std::size_t i = 0; i < values_.size(); ++i) {
        line << QPointF(plot.left() + step * static_cast<double>(i),
                        plot.bottom() - plot.height() * values_[i] / kProfileScale);
    }
    p.setPen(QPen(Qt::blue, 1));
    p.drawPolyline(line);
}

// ---- Window -----------------------------------------------------------------------------------

WaypointWindow::WaypointWindow(MainWindow& w) : ToolWindow(&w, w.Ws().Settings.WPWinPosition), w_(w) {
    setObjectName(QStringLiteral("FrmWP"));
    BuildFields();
    BuildPopup();
    AskSpecial = [this](const QString& text) {
        return QMessageBox::question(this, QStringLiteral("Special"), text,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    RunPopup = [](QMenu& menu, const QPoint& at) { menu.exec(at); };
    shownWp_ = w.Ws().Waypoints.CurWp;
    Refresh(false);
}

void WaypointWindow::BuildFields() {
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(2);
    for (const FieldDef& def : kFields) {
        const std::size_t i = Index(def.Field);
        auto* label = new QLabel(QString::fromLatin1(def.Caption), this);
        label->setObjectName(QStringLiteral("Lbl_WP(%1)").arg(i));
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("Txt_WP(%1)").arg(i));
        box->installEventFilter(this);
        // Room for a coordinate of eight decimals in the thousands.
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("-12345.12345678")) + 12);
        const WpField f = def.Field;
        // textEdited comes from the user only: filling the fields never stores anything.
        connect(box, &QLineEdit::textEdited, this, [this, f](const QString& text) { FieldEdited(f, text); });
        connect(box, &QLineEdit::editingFinished, this, [this] { editOpen_ = false; });
        if (def.Column == 1) {
            grid->addWidget(label, def.Row, 0);
        }
        const bool wide = def.Column == 1 && (f == WpField::Depth || f == WpField::Ins);
        grid->addWidget(box, def.Row, def.Column, 1, wide ? 2 : 1);
        labels_[i] = label;
        fields_[i] = box;
    }
    for (const WpField f : {WpField::X, WpField::Y, WpField::Z}) {
        labels_[Index(f)]->installEventFilter(this); // a double click mirrors on the axis
    }
    for (const WpField f : {WpField::Key, WpField::Marks, WpField::Events}) {
        Field(f)->setToolTip(QStringLiteral("F1CS only"));
    }
    Field(WpField::Ins)->setToolTip(QStringLiteral("SCGT only"));
    profile_ = new DepthProfile(this);
    grid->addWidget(profile_, kProfileRow, 0, 1, 3);

    accumulated_ = new QLabel(this);
    accumulated_->setObjectName(QStringLiteral("Lbl_Dist"));
    calcLength_ = new QCheckBox(this);
    calcLength_->setObjectName(QStringLiteral("Check_Dist"));
    calcLength_->setToolTip(QStringLiteral("Switch on to calc wp_length"));
    reset_ = new QPushButton(QStringLiteral("Reset dist. calc."), this);
    reset_->setObjectName(QStringLiteral("Cmd_ResetDist"));
    connect(reset_, &QPushButton::clicked, this, [this] {
        distance_ = TypedNumber(Field(WpField::Score2)->text()).value_or(0);
        ShowAccumulated();
    });
    grid->addWidget(calcLength_, kDistanceRow, 0);
    grid->addWidget(accumulated_, kDistanceRow, 1);
    grid->addWidget(reset_, kDistanceRow, 2);
}

void WaypointWindow::BuildPopup() {
    // The menu lives on a form of its own, as the field menus of the editor do.
    auto* form = new QWidget(this);
    form->setObjectName(QStringLiteral("FrmPopup"));
    form->hide();
    popup_ = new QMenu(form);
    popup_->setObjectName(QStringLiteral("mnuBar"));
    for (int i = 0; i < 3; ++i) {
        QAction* item = popup_->addAction(QString::fromLatin1(kPopupItems[i]));
        item->setObjectName(QStringLiteral("mnuBar(%1)").arg(i));
        connect(item, &QAction::triggered, this, [this, i] { PopupItem(i); });
    }
}

bool WaypointWindow::Refresh(bool browsing) {
    const waypoints::WaypointTables& t = w_.Ws().Waypoints;
    const bool moved = t.CurWp != shownWp_;
    if (moved) {
        shownWp_ = t.CurWp;
        editOpen_ = false; // typing on another waypoint is another step
        if (browsing) {
            Accumulate();
        }
    }
    setWindowTitle(QStringLiteral("Wp: %1        Total: %2").arg(t.CurWp).arg(t.WpCount));
    for (const FieldDef& def : kFields) {
        if (!(storing_ && editing_ == def.Field)) {
            ShowField(def.Field);
        }
    }
    profile_->SetDepth(waypoints::IsWaypoint(t, t.CurWp) ? t.Wp[static_cast<std::size_t>(t.CurWp)].depth
                                                         : "");
    return moved;
}

void WaypointWindow::ShowField(WpField f) {
    const waypoints::WaypointTables& t = w_.Ws().Waypoints;
    const QString text = waypoints::IsWaypoint(t, t.CurWp)
                             ? WaypointFieldText(t.Wp[static_cast<std::size_t>(t.CurWp)], f)
                             : QString();
    QLineEdit* box = Field(f);
    if (box->text() != text) {
        const QSignalBlocker block(box);
        box->setText(text);
        box->setCursorPosition(0);
    }
}

void WaypointWindow::ShowLoaded() {
    setWindowTitle(QStringLiteral("Waypoints: %1").arg(w_.Ws().Waypoints.WpCount));
}

void WaypointWindow::ToggleVisible() {
    if (isVisible()) {
        hide();
    } else {
        Refresh(false);
        show();
        raise();
    }
}

// The value typed so far is stored while the user types; other text waits for more typing.
void WaypointWindow::FieldEdited(WpField f, const QString& text) {
    Workspace& ws = w_.Ws();
    const bool isText = waypoints::IsTextField(f);
    const std::optional<double> value = isText ? std::nullopt : TypedNumber(text);
    if (!isText && !value) {
        return;
    }
    if (!editOpen_ || editing_ != f) {
        editing_ = f;
        editOpen_ = true;
        ++editId_;
    }
    storing_ = true;
    w_.Run(
        "Edit Waypoint",
        [&](edit::Recorder& rec) {
            return isText ? waypoints::SetCurrentText(ws.Waypoints, rec, f, ToCore(text))
                          : waypoints::SetCurrentField(ws.Waypoints, rec, f, *value);
        },
        edit::CollateKey{"Waypoint Field", editId_});
    storing_ = false;
    if (f == WpField::Depth) {
        profile_->SetDepth(ToCore(text));
    }
}

void WaypointWindow::FillSelected(WpField f) {
    if (!AskSpecial(QStringLiteral("Fill selected WPs with this value ?"))) {
        return;
    }
    Workspace& ws = w_.Ws();
    w_.Run("Fill Selected Waypoints",
           [&](edit::Recorder& rec) { return waypoints::FillSelected(ws.Waypoints, rec, f); });
}

void WaypointWindow::Mirror(int axis) {
    if (!AskSpecial(QStringLiteral("Mirror all WPs on this axis ?"))) {
        return;
    }
    Workspace& ws = w_.Ws();
    w_.Run("Mirror Waypoints",
           [&](edit::Recorder& rec) { return waypoints::MirrorWaypoints(ws.Waypoints, rec, axis); });
}

void WaypointWindow::OpenPopup(WpField f, const QPoint& at) {
    const int enabled = f == WpField::Score1 ? 0 : f == WpField::Width1 ? 1 : 2;
    const QList<QAction*> items = popup_->actions();
    for (int i = 0; i < items.size(); ++i) {
        items[i]->setEnabled(i == enabled);
    }
    popupField_ = f;
    QLineEdit* box = Field(f);
    QFont font = box->font();
    font.setBold(true);
    box->setFont(font);
    box->setEnabled(false);
    RunPopup(*popup_, at);
    font.setBold(false);
    box->setFont(font);
    box->setEnabled(true);
}

void WaypointWindow::PopupItem(int item) {
    Workspace& ws = w_.Ws();
    if (ws.Waypoints.WpCount < 1) {
        return;
    }
    switch (item) {
    case 0:
        if (const std::optional<double> v = TypedNumber(Field(WpField::Score1)->text())) {
            w_.Apply(waypoints::SelectSameCheckpoint(ws.Waypoints, static_cast<float>(*v)));
        }
        break;
    case 1:
        w_.Run("Copy to Lateral Step",
               [&](edit::Recorder& rec) { return waypoints::CopyToLateralStep(ws.Waypoints, rec); });
        break;
    default:
        w_.Run("Calculate Corridor Width",
               [&](edit::Recorder& rec) { return waypoints::CalcCorridorWidth(ws.Waypoints, rec); });
        break;
    }
}

void WaypointWindow::Accumulate() {
    Workspace& ws = w_.Ws();
    const waypoints::WaypointTables& t = ws.Waypoints;
    if (t.CurWp > 0 && waypoints::IsWaypoint(t, t.CurWp)) {
        distance_ += waypoints::CalcDistance(t, t.CurWp, t.CurWp - 1);
        ShowAccumulated();
    }
    if (calcLength_->isChecked() && waypoints::IsWaypoint(t, t.CurWp)) {
        const double d = distance_;
        w_.Run("Waypoint Length", [&](edit::Recorder& rec) {
            return waypoints::SetCurrentField(ws.Waypoints, rec, WpField::Score2, d);
        });
    }
}

void WaypointWindow::ShowAccumulated() {
    accumulated_->setText(Shortest(distance_, 4));
}

bool WaypointWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    if (!doubleClick && event->type() != QEvent::ContextMenu) {
        return QWidget::eventFilter(watched, event);
    }
    for (const FieldDef& def : kFields) {
        const WpField f = def.Field;
        const bool isField = watched == Field(f);
        if (!isField && watched != Label(f)) {
            continue;
        }
        if (doubleClick && isField) {
            FillSelected(f);
            return true;
        }
        if (doubleClick) { // only the "X", "Y" and "Z" labels are watched
            Mirror(static_cast<int>(f) - static_cast<int>(WpField::X));
            return true;
        }
        if (isField && (f == WpField::Score1 || f == WpField::Width1 || f == WpField::Opt3)) {
            OpenPopup(f, static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void WaypointWindow::keyPressEvent(QKeyEvent* event) {
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    if (!w_.FunctionKey(event->key(), shift, ctrl)) {
        QWidget::keyPressEvent(event);
    }
}

WaypointWindow* FindWaypointWindow(MainWindow& w) {
    return dynamic_cast<WaypointWindow*>(
        w.findChild<QWidget*>(QStringLiteral("FrmWP"), Qt::FindDirectChildrenOnly));
}

} // namespace zv::app
