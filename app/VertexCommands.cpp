#include "app/VertexCommands.h"

#include "app/InputPanel.h"
#include "app/MainWindow.h"
#include "app/QtText.h"
#include "config/ConfigFormat.h"
#include "edit/Selection.h"
#include "edit/VertexOps.h"
#include "model/Columns.h"
#include "model/Numbers.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zv::app {
namespace {

const std::vector<QString> kXyz{QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")};

InputPanel* Panel(MainWindow& w, const char* name, const char* title, const char* box, const char* button,
                  std::vector<QString> labels = kXyz) {
    InputPanel::Layout layout;
    layout.Name = QString::fromLatin1(name);
    layout.Title = QString::fromLatin1(title);
    layout.BoxName = QString::fromLatin1(box);
    layout.Labels = std::move(labels);
    layout.ButtonName = QString::fromLatin1(button);
    return new InputPanel(w, layout);
}

model::VertRec Position(const std::vector<double>& v) {
    return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

edit::Vec3 Triple(const std::vector<double>& v) {
    return {v[0], v[1], v[2]};
}

QString Number(double value) {
    return QString::number(value, 'g', 10);
}

// The first three boxes show a position.
void Fill(InputPanel& p, double x, double y, double z) {
    p.Box(0)->setText(Number(x));
    p.Box(1)->setText(Number(y));
    p.Box(2)->setText(Number(z));
}

void On(MainWindow& w, const char* menu, int index, std::function<void()> command) {
    if (QAction* item = w.Item(menu, index)) {
        QObject::connect(item, &QAction::triggered, &w, std::move(command));
    }
}

} // namespace

VertexCommands::VertexCommands(MainWindow& w)
    : QObject(&w), w_(w), add_(Panel(w, "Pic_V_Add", "Add vertex", "Text_V_Add", "Cmd_V_Add")),
      change_(Panel(w, "Pic_V_Change", "Change vertex", "Text_V_Change", "Cmd_V_Change")),
      goto_(Panel(w, "Pic_V_Goto", "Goto vertex", "Text_V_Goto", "Cmd_V_Goto", {QStringLiteral("#")})),
      merge_(Panel(w, "Pic_V_Merge", "Weld close vertices", "Text_V_Merge", "Cmd_V_Merge",
                   {QStringLiteral("Tolerance")})),
      snap_(nullptr),
      rotate_(Panel(w, "Pic_Rotate", "Rotate", "Text_Rotate", "Cmd_M_Rotate",
                    {QStringLiteral("X (deg)"), QStringLiteral("Y (deg)"), QStringLiteral("Z (deg)")})),
      translate_(Panel(w, "Pic_Translate", "Translate", "Text_Trans", "Cmd_M_Translate")), resize_(nullptr) {
    setObjectName(QStringLiteral("VertexCommands"));
    InputPanel::Layout snap;
    snap.Name = QStringLiteral("Pic_VSnap");
    snap.Title = QStringLiteral("Snap vertices");
    snap.BoxName = QStringLiteral("Text_VSnap");
    snap.Labels = kXyz;
    snap.CheckName = QStringLiteral("Chk_VSnap");
    snap.Checks = kXyz;
    snap.ButtonName = QStringLiteral("Cmd_VSnap");
    snap_ = new InputPanel(w, snap);
    // The goto and merge panels have one box each, named without an index.
    goto_->Box(0)->setObjectName(QStringLiteral("Text_V_Goto"));
    merge_->Box(0)->setObjectName(QStringLiteral("Text_V_Merge"));
    resize_ = MakeResizePanel();

    add_->OnOk = [this] {
        const auto v = add_->Values();
        if (v) {
            w_.Run("Add Vertex", [&](edit::Recorder& rec) {
                return edit::AddVertex(w_.Ws().Model, rec, w_.Ws().Ui, Position(*v));
            });
        }
        return v.has_value();
    };
    change_->OnOk = [this] {
        const auto v = change_->Values();
        if (v) {
            w_.Run("Change Vertex",
                   [&](edit::Recorder& rec) { return edit::ChangeVertex(w_.Ws().Model, rec, Position(*v)); });
        }
        return v.has_value();
    };
    goto_->OnOk = [this] {
        const QString text = goto_->Box(0)->text();
        const double n = IsNumeric(text) ? config::ReadNumber(text.toStdString()) : std::nan("");
        w_.Apply(edit::GotoVertex(w_.Ws().Model, w_.Ws().Ui, n, ToCore(text)));
        return true; // the goto panel closes in every case
    };
    merge_->OnOk = [this] { return Merge(); };
    snap_->OnOk = [this] { return Snap(); };
    rotate_->OnOk = [this] {
        const auto v = rotate_->Values();
        if (v) {
            const bool aboutCentre = w_.Ws().Tools.AboutCentre;
            w_.Run("Rotate", [&](edit::Recorder& rec) {
                return edit::Rotate(w_.Ws().Model, rec, Triple(*v), aboutCentre);
            });
        }
        return v.has_value();
    };
    translate_->OnOk = [this] {
        const auto v = translate_->Values();
        if (v) {
            const auto which = w_.Ws().Tools.SelectedOnly ? edit::Affected::Selected : edit::Affected::All;
            w_.Run("Translate", [&](edit::Recorder& rec) {
                return edit::Translate(w_.Ws().Model, rec, Triple(*v), which);
            });
        }
        return v.has_value();
    };

    On(w, "mnuVertex", 0, [this] { OpenAdd(); });
    On(w, "mnuVertex", 1, [this] { OpenChange(); });
    On(w, "mnuVertex", 3, [this] { Delete(); });
    On(w, "mnuVertex", 4, [this] { DeleteUnused(); });
    On(w, "mnuVertex", 10, [this] { OpenMerge(MergeMode::Weld); });
    On(w, "mnuVertex", 11, [this] { OpenMerge(MergeMode::Join); });
    On(w, "mnuVertex", 12, [this] { OpenSnap(MergeMode::SnapToPosition); });
    On(w, "mnuVertex", 13, [this] { SnapToGrid(); });
    On(w, "mnuVertex", 14, [this] { OpenSnap(MergeMode::MoveToPosition); });
    On(w, "mnuVertex", 18, [this] { OpenGoto(); });
    On(w, "mnuVertexTransform", 0, [this] { OpenResize(); });
    On(w, "mnuVertexTransform", 1, [this] { OpenRotate(); });
    On(w, "mnuVertexTransform", 2, [this] { OpenTranslate(); });
}

void VertexCommands::OpenAdd() {
    add_->Open();
}

void VertexCommands::OpenChange() {
    const model::ModelStore& m = w_.Ws().Model;
    if (!model::IsVertex(m, m.CurVert)) {
        return;
    }
    const model::VertRec& v = m.Vert[m.CurVert];
    Fill(*change_, v.X, v.Y, v.Z);
    change_->Open();
}

void VertexCommands::OpenGoto() {
    w_.Ws().Ui.ShowProgress("Vertex: " + std::to_string(w_.Ws().Model.CurVert));
    goto_->Open();
}

void VertexCommands::OpenMerge(MergeMode mode) {
    mode_ = mode;
    merge_->setWindowTitle(mode == MergeMode::Weld ? QStringLiteral("Weld close vertices")
                                                   : QStringLiteral("Join close vertices"));
    merge_->Open();
}

void VertexCommands::OpenSnap(MergeMode mode) {
    mode_ = mode;
    if (mode == MergeMode::MoveToPosition) {
        model::ModelStore& m = w_.Ws().Model;
        edit::ComputeSelectionBox(m);
        snapCentre_ = m.Selection.SelCenter;
        Fill(*snap_, model::RoundHalfEven(snapCentre_.X, 4), model::RoundHalfEven(snapCentre_.Y, 4),
             model::RoundHalfEven(snapCentre_.Z, 4));
    }
    snap_->setWindowTitle(mode == MergeMode::MoveToPosition ? QStringLiteral("Move to position")
                                                            : QStringLiteral("Snap vertices"));
    snap_->Open();
}

void VertexCommands::OpenRotate() {
    Fill(*rotate_, 0, 0, 0);
    rotate_->Open();
}

void VertexCommands::OpenTranslate() {
    Fill(*translate_, 0, 0, 0);
    translate_->Open();
}

void VertexCommands::Delete() {
    if (w_.Ws().Model.CurVert < 0) {
        return;
    }
    w_.Run("Delete Vertex",
           [&](edit::Recorder& rec) { return edit::DeleteVertex(w_.Ws().Model, rec, w_.Ws().Ui); });
}

void VertexCommands::DeleteUnused() {
    w_.Run("Delete All Unused",
           [&](edit::Recorder& rec) { return edit::DeleteUnusedVertices(w_.Ws().Model, rec); });
}

void VertexCommands::SnapToGrid() {
    Workspace& ws = w_.Ws();
    if (ws.Ui.ShowMessage("", "Snap selected vertices to grid?", model::MessageIcon::Question,
                          model::MessageButtons::OkCancel) != model::MessageAnswer::Ok) {
        return;
    }
    const double g = ws.Settings.Grid.SnapGridSize;
    w_.Run("Snap to Grid", [&](edit::Recorder& rec) { return edit::SnapToGrid(ws.Model, rec, ws.Ui, g); });
}

bool VertexCommands::Merge() {
    const auto v = merge_->Values();
    if (!v) {
        return false;
    }
    Workspace& ws = w_.Ws();
    const double t = v->front();
    if (mode_ == MergeMode::Join) {
        w_.Run("Join", [&](edit::Recorder& rec) { return edit::JoinVertices(ws.Model, rec, ws.Ui, t); });
    } else {
        w_.Run("Weld", [&](edit::Recorder& rec) { return edit::WeldVertices(ws.Model, rec, ws.Ui, t); });
    }
    return true;
}

bool VertexCommands::Snap() {
    const auto v = snap_->Values();
    if (!v) {
        return false;
    }
    const edit::Axes axes{snap_->Check(0)->isChecked(), snap_->Check(1)->isChecked(),
                          snap_->Check(2)->isChecked()};
    model::ModelStore& m = w_.Ws().Model;
    if (mode_ == MergeMode::MoveToPosition) {
        w_.Run("Move Group to Position", [&](edit::Recorder& rec) {
            return edit::MoveGroupToPosition(m, rec, snapCentre_, Triple(*v), axes);
        });
    } else {
        w_.Run("Snap to Position",
               [&](edit::Recorder& rec) { return edit::SnapToPosition(m, rec, Triple(*v), axes); });
    }
    return true;
}

// ---- Resize panel --------------------------------------------------------------------------

InputPanel* VertexCommands::MakeResizePanel() {
    InputPanel::Layout layout;
    layout.Name = QStringLiteral("Pic_Resize");
    layout.Title = QStringLiteral("Resize");
    layout.BoxName = QStringLiteral("Text_Size");
    layout.Labels = {QStringLiteral("Old X"), QStringLiteral("Old Y"), QStringLiteral("Old Z"),
                     QStringLiteral("New X"), QStringLiteral("New Y"), QStringLiteral("New Z")};
    layout.ButtonName = QStringLiteral("Cmd_M_Resize");
    auto* panel = new InputPanel(w_, layout);
    for (int i = 0; i < 3; ++i) {
        panel->Box(i)->setReadOnly(true);
    }
    auto* keep = new QCheckBox(QStringLiteral("Keep Proportions"), panel);
    keep->setObjectName(QStringLiteral("Check1"));
    auto* old = new QPushButton(QStringLiteral("Old Values"), panel);
    old->setObjectName(QStringLiteral("Cmd_M_Resize(2)"));
    QGridLayout* grid = panel->Grid();
    grid->addWidget(new QLabel(QStringLiteral("Factor"), panel), 2, 2);
    for (int a = 0; a < 3; ++a) {
        auto* factor = new QLineEdit(QStringLiteral("1"), panel);
        factor->setObjectName(QStringLiteral("Text_Size_Factor(%1)").arg(a));
        factor->installEventFilter(panel);
        grid->addWidget(factor, 3 + a, 2);
        connect(factor, &QLineEdit::editingFinished, this, [this, factor, a] {
            if (IsNumeric(factor->text())) {
                form_.Factor[static_cast<std::size_t>(a)] = config::ReadNumber(factor->text().toStdString());
                form_.KeepProportions = resize_->findChild<QCheckBox*>(QStringLiteral("Check1"))->isChecked();
                edit::FactorEdited(form_, a);
                ShowResizeForm();
            }
        });
    }
    for (int a = 0; a < 3; ++a) {
        QLineEdit* size = panel->Box(3 + a);
        connect(size, &QLineEdit::editingFinished, this, [this, size, a] {
            if (IsNumeric(size->text())) {
                form_.New[static_cast<std::size_t>(a)] = config::ReadNumber(size->text().toStdString());
                form_.KeepProportions = resize_->findChild<QCheckBox*>(QStringLiteral("Check1"))->isChecked();
                edit::NewSizeEdited(form_, a);
                ShowResizeForm();
            }
        });
    }
    grid->addWidget(keep, 7, 0, 1, 2);
    grid->addWidget(old, 7, 2);
    connect(old, &QPushButton::clicked, this, [this] {
        edit::OldValues(form_);
        ShowResizeForm();
    });
    panel->OnOk = [this] { return ResizeOk(); };
    return panel;
}

void VertexCommands::ShowResizeForm() {
    for (int a = 0; a < 3; ++a) {
        const auto i = static_cast<std::size_t>(a);
        resize_->Box(a)->setText(Number(form_.Old[i]));
        resize_->Box(3 + a)->setText(Number(form_.New[i]));
        resize_->findChild<QLineEdit*>(QStringLiteral("Text_Size_Factor(%1)").arg(a))
            ->setText(Number(form_.Factor[i]));
    }
}

void VertexCommands::OpenResize() {
    form_ = edit::OpenResize(w_.Ws().Model, w_.Ws().Tools.SelectedOnly);
    ShowResizeForm();
    resize_->Open();
    resize_->Box(3)->setFocus();
    resize_->Box(3)->selectAll();
}

bool VertexCommands::ResizeOk() {
    edit::Vec3 factors{};
    for (int a = 0; a < 3; ++a) {
        const QString text =
            resize_->findChild<QLineEdit*>(QStringLiteral("Text_Size_Factor(%1)").arg(a))->text();
        if (!IsNumeric(text)) {
            return false;
        }
        factors[static_cast<std::size_t>(a)] = config::ReadNumber(text.toStdString());
    }
    const auto which = w_.Ws().Tools.SelectedOnly ? edit::Affected::Selected : edit::Affected::All;
    w_.Run("Resize", [&](edit::Recorder& rec) { return edit::Resize(w_.Ws().Model, rec, factors, which); });
    return true;
}

VertexCommands* FindVertexCommands(MainWindow& w) {
    return w.findChild<VertexCommands*>(QStringLiteral("VertexCommands"));
}

} // namespace zv::app
