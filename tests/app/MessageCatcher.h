#pragma once
// Closes the next modal message box once it shows, keeping its title and text.

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTimer>

namespace zv::app {

struct MessageCatcher {
    QString Title, Text;
    void Arm() {
        QTimer::singleShot(0, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                Title = box->windowTitle();
                Text = box->text();
                box->accept();
            }
        });
    }
};

} // namespace zv::app
