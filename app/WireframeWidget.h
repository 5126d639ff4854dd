#pragma once
// PicView1: the wireframe view. It draws into an image of its own size (the canvas writes such
// an image directly, much faster than painting a widget) and shows that image.

#include "workspace/Workspace.h"

#include <QImage>
#include <QWidget>

namespace zv::app {

class WireframeWidget : public QWidget {
public:
    WireframeWidget(Workspace& ws, QWidget* parent);

    // The picture behind the drawing; a null image removes it.
    void SetBackground(const QImage& picture) { background_ = picture; }
    bool HasBackground() const { return !background_.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Workspace& ws_;
    QImage buffer_;
    QImage background_;
};

} // namespace zv::app
