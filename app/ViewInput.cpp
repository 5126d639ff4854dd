#include "app/ViewInput.h"

#include "app/GlViewWidget.h"
#include "app/MainWindow.h"
#include "app/PathCommands.h"
#include "app/PolygonCommands.h"
#include "app/QtText.h"
#include "app/StatusPanels.h"
#include "edit/Selection.h"
#include "track/PathOps.h"
#include "workspace/WaypointGestures.h"

#include <QAbstractSpinBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRubberBand>
#include <QStatusBar>
#include <QTextEdit>

#include <algorithm>
#include <optional>

namespace zv::app {
namespace {

// Steps of the arrow keys that move the OpenGL view, and of the brightness keys.
constexpr float kPanStep = 0.1f;
constexpr float kPanStepShift = 1.0f;
constexpr float kPanStepCtrl = 10.0f;
constexpr std::int32_t kBrightnessStep = 4096;
constexpr std::int32_t kGridGreyStep = 16;

render::MouseButton ButtonOf(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return render::MouseButton::Left;
    case Qt::RightButton:
        return render::MouseButton::Right;
    case Qt::MiddleButton:
        return render::MouseButton::Middle;
    default:
        return render::MouseButton::None;
    }
}

render::MouseEvent EventOf(const QMouseEvent& e) {
    render::MouseEvent out;
    // A move reports the buttons held, a press or release the one that changed.
    out.Button = ButtonOf(e.button() != Qt::NoButton ? e.button()
                                                     : (e.buttons() & Qt::LeftButton    ? Qt::LeftButton
                                                        : e.buttons() & Qt::RightButton ? Qt::RightButton
                                                                                        : Qt::NoButton));
    out.Mods.Shift = (e.modifiers() & Qt::ShiftModifier) != 0;
    out.Mods.Ctrl = (e.modifiers() & Qt::ControlModifier) != 0;
    out.X = static_cast<float>(e.position().x());
    out.Y = static_cast<float>(e.position().y());
    return out;
}

// The key code of the selection table: letters upper-case ASCII, TAB and SPACE.
int SelectionKeyOf(const QKeyEvent& e) {
    const int k = e.key();
    if (k == Qt::Key_Backtab) {
        return edit::keys::Tab;
    }
    if (k == Qt::Key_Tab) {
        return edit::keys::Tab;
    }
    if (k == Qt::Key_Space) {
        return edit::keys::Space;
    }
    return k >= Qt::Key_A && k <= Qt::Key_Z ? 'A' + (k - Qt::Key_A) : -1;
}

} // namespace

ViewInput::ViewInput(MainWindow& w)
    : QObject(&w), w_(w), view1_(w.findChild<QWidget*>(QStringLiteral("PicView1"))),
      view4_(w.findChild<GlViewWidget*>(QStringLiteral("PicView4"))),
      band_(new QRubberBand(QRubberBand::Rectangle, view1_)) {
    // The band in cyan, as the rectangle of the classic view.
    QPalette cyan = band_->palette();
    cyan.setColor(QPalette::Highlight, QColor(0, 255, 255));
    band_->setPalette(cyan);
    view1_->setMouseTracking(true);
    view1_->installEventFilter(this);
    if (view4_ != nullptr) {
        view4_->installEventFilter(this);
    }
    // Keys go to whichever widget of the window has the focus, so they are watched
    // application-wide and taken when they belong to this window.
    QCoreApplication::instance()->installEventFilter(this);
}

void ViewInput::Detach() {
    QCoreApplication::instance()->removeEventFilter(this);
    view1_->removeEventFilter(this);
    if (view4_ != nullptr) {
        view4_->removeEventFilter(this);
    }
}

render::ToolMode ViewInput::Mode() const {
    return ToolModeOf(w_.Ws().Mode);
}

bool ViewInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view1_) {
        if (event->type() == QEvent::MouseButtonPress) {
            w_.Ws().History.StopCollating();
        }
        return WireframeEvent(event);
    }
    if (view4_ != nullptr && watched == view4_) {
        return GlEvent(event);
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        const bool typing = qobject_cast<const QLineEdit*>(watched) != nullptr ||
                            qobject_cast<const QAbstractSpinBox*>(watched) != nullptr ||
                            qobject_cast<const QTextEdit*>(watched) != nullptr;
        if (widget != nullptr && widget->window() == &w_ && !typing) {
            return KeyEvent(event);
        }
    }
    return false;
}

bool ViewInput::WireframeEvent(QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick) {
        return false;
    }
    Workspace& ws = w_.Ws();
    const render::MouseEvent e = EventOf(*static_cast<QMouseEvent*>(event));
    const bool building = TrackBuilderActive(ws);
    if (building) {
        if (const PathCommands* path = FindPathCommands(w_)) {
            gesture_.BuilderPiece = path->PieceLength();
        }
    }
    switch (type) {
    case QEvent::MouseButtonPress: {
        render::ViewEffect fx = render::View1ButtonDown(mouse_, ws.View1, ws.Model, Mode(), e);
        if (building) {
            fx.PickedVertex.reset(); // the builder draws; it picks no vertex
            fx.Status.reset();
        }
        Apply(fx);
        break;
    }
    case QEvent::MouseMove:
        Apply(render::View1Move(mouse_, ws.View1, Mode(), e));
        if (building) {
            if (const auto dist = BuilderDistance(ws, e.X, e.Y)) {
                w_.Panels().ShowDistance(*dist);
            }
        }
        if (ws.Mode == WorkMode::EditWaypoint) {
            if (const auto dist = ShowWaypointDistance(ws, e.X, e.Y)) {
                w_.Panels().ShowDistance(*dist);
            }
        }
        break;
    case QEvent::MouseButtonRelease:
        Apply(render::View1ButtonUp(mouse_, ws.View1, Mode(), e), true);
        break;
    default:
        Apply(render::View1DoubleClick(mouse_, ws.View1, ws.Model, Mode(), e));
        break;
    }
    return true;
}

bool ViewInput::GlEvent(QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick) {
        return false;
    }
    const render::MouseEvent e = EventOf(*static_cast<QMouseEvent*>(event));
    // A quick second press arrives as a double click only; it starts a drag all the same.
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        Apply(render::GlButtonDown(mouse_, e));
    } else if (type == QEvent::MouseMove) {
        Apply(render::GlMove(mouse_, view4_->Renderer().Cam, e));
    } else {
        Apply(render::GlButtonUp(mouse_, e));
    }
    return true;
}

// What a gesture asks for: read-outs, the band, what it does to the document (decided by the
// workspace's gesture rules), and one refresh or redraw.
void ViewInput::Apply(const render::ViewEffect& effect, bool release) {
    Workspace& ws = w_.Ws();
    if (effect.Readout) {
        w_.Panels().ShowReadout(*effect.Readout);
    }
    if (effect.RefreshZoomLabel) {
        w_.Panels().ShowZoom(ws.View1.ViewZoom);
    }
    if (effect.Status) {
        ws.Ui.ShowProgress(*effect.Status);
    }
    if (effect.Band) {
        const render::PickRect& r = *effect.Band;
        band_->setGeometry(QRect(QPoint(static_cast<int>(r.X1), static_cast<int>(r.Y1)),
                                 QPoint(static_cast<int>(r.X2), static_cast<int>(r.Y2))));
        band_->show();
    }
    if (effect.RemoveBand) {
        band_->hide();
    }
    const edit::Change changed = ApplyViewEffect(ws, gesture_, effect, release);
    if (effect.RebuildPointList && view4_ != nullptr) {
        view4_->RebuildPointList(); // the model is unchanged: no refresh, no model list rebuild
    }
    if (changed.Has(edit::Change::Path) && TrackBuilderActive(ws)) {
        w_.Panels().ShowInfo(track::BuilderStatus(ws.Path));
    }
    if (changed.Any()) {
        w_.Apply(changed);
        return;
    }
    if (effect.RedrawAll) {
        w_.Draw_All_Views();
    } else {
        if (effect.RedrawWireframe) {
            view1_->update();
        }
        if (effect.RedrawGl && view4_ != nullptr) {
            view4_->update();
        }
    }
}

bool ViewInput::KeyEvent(QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto& e = *static_cast<QKeyEvent*>(event);
    const bool shift = (e.modifiers() & Qt::ShiftModifier) != 0 || e.key() == Qt::Key_Backtab;
    const bool ctrl = (e.modifiers() & Qt::ControlModifier) != 0;
    Workspace& ws = w_.Ws();
    if (EditKey(e.key(), shift, ctrl)) {
        return true;
    }
    if (PolygonCommands* polygons = FindPolygonCommands(w_);
        polygons != nullptr && polygons->Key(e.key(), shift, ctrl, (e.modifiers() & Qt::KeypadModifier) != 0)) {
        return true;
    }
    const bool modifier = e.key() == Qt::Key_Shift || e.key() == Qt::Key_Control || e.key() == Qt::Key_Alt ||
                          e.key() == Qt::Key_Meta;
    if (!modifier) {
        ws.History.StopCollating(); // a run of nudges ends at any other key
    }
    edit::SelectionContext ctx{ws.Model, ws.Settings, ws.Ui};
    if (const auto changed = edit::HandleSelectionKey(ctx, SelectionKeyOf(e), shift, ctrl)) {
        w_.Apply(*changed | edit::Change::Selection);
        return true;
    }
    if (w_.FunctionKey(e.key(), shift, ctrl)) {
        return true;
    }
    return GlKey(e.key(), shift, ctrl);
}

// The nudge keys and Ctrl V (a vertex under the cursor).
bool ViewInput::EditKey(int key, bool shift, bool ctrl) {
    Workspace& ws = w_.Ws();
    if (key == Qt::Key_V && ctrl && !shift) {
        w_.Apply(AddVertexAtCursor(ws, mouse_.CursorModel));
        return true;
    }
    std::optional<NudgeKey> nudge;
    switch (key) {
    case Qt::Key_Insert:
        nudge = NudgeKey::PlusX;
        break;
    case Qt::Key_Delete:
        nudge = NudgeKey::MinusX;
        break;
    case Qt::Key_Home:
        nudge = NudgeKey::PlusY;
        break;
    case Qt::Key_End:
        nudge = NudgeKey::MinusY;
        break;
    case Qt::Key_PageUp:
        nudge = NudgeKey::PlusZ;
        break;
    case Qt::Key_PageDown:
        nudge = NudgeKey::MinusZ;
        break;
    default:
        return false;
    }
    const auto changed = Nudge(ws, *nudge, shift, ctrl);
    if (changed) {
        w_.Apply(*changed);
    }
    return changed.has_value();
}

// The arrows move the OpenGL view; NumPad / and * change its background brightness, with Ctrl
// the grey of its grid.
bool ViewInput::GlKey(int key, bool shift, bool ctrl) {
    Workspace& ws = w_.Ws();
    const float step = ctrl ? kPanStepCtrl : shift ? kPanStepShift : kPanStep;
    if (view4_ == nullptr) {
        return false;
    }
    render::gl::Camera& cam = view4_->Renderer().Cam;
    switch (key) {
    case Qt::Key_Left:
        cam.GLPanX -= step;
        break;
    case Qt::Key_Right:
        cam.GLPanX += step;
        break;
    case Qt::Key_Up:
        cam.GLPanY += step;
        break;
    case Qt::Key_Down:
        cam.GLPanY -= step;
        break;
    case Qt::Key_Slash:
    case Qt::Key_Asterisk: {
        const int sign = key == Qt::Key_Asterisk ? 1 : -1;
        if (ctrl) {
            ws.Settings.View4_GridColor =
                std::clamp(ws.Settings.View4_GridColor + sign * kGridGreyStep, 0, 255);
        } else {
            ws.Settings.View4_Brightness =
                std::clamp(ws.Settings.View4_Brightness + sign * kBrightnessStep, 0, 65536);
        }
        w_.ApplyViewSettings();
        return true;
    }
    default:
        return false;
    }
    view4_->update();
    return true;
}

} // namespace zv::app
