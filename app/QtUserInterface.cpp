#include "app/QtUserInterface.h"

#include "app/QtText.h"

#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QWidget>

namespace zv::app {
namespace {

QMessageBox::Icon ToQt(model::MessageIcon icon) {
    switch (icon) {
    case model::MessageIcon::Information:
        return QMessageBox::Information;
    case model::MessageIcon::Warning:
        return QMessageBox::Warning;
    case model::MessageIcon::Critical:
        return QMessageBox::Critical;
    case model::MessageIcon::Question:
        return QMessageBox::Question;
    case model::MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(model::MessageButtons buttons) {
    switch (buttons) {
    case model::MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case model::MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case model::MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

model::MessageAnswer FromQt(int button) {
    switch (button) {
    case QMessageBox::Cancel:
        return model::MessageAnswer::Cancel;
    case QMessageBox::Yes:
        return model::MessageAnswer::Yes;
    case QMessageBox::No:
        return model::MessageAnswer::No;
    default:
        return model::MessageAnswer::Ok;
    }
}

// Message texts break lines with a lone CR, which Qt does not show as a break.
QString Lines(std::string_view text) {
    QString s = ToQString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

// A box asked during a long operation shows the normal pointer, not the busy one above it.
class ArrowWhileAsking {
public:
    ArrowWhileAsking() {
        if (QApplication::overrideCursor() != nullptr) {
            QApplication::setOverrideCursor(Qt::ArrowCursor);
            pushed_ = true;
        }
    }
    ~ArrowWhileAsking() {
        if (pushed_) {
            QApplication::restoreOverrideCursor();
        }
    }
    ArrowWhileAsking(const ArrowWhileAsking&) = delete;
    ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;

private:
    bool pushed_ = false;
};

} // namespace

model::MessageAnswer QtUserInterface::ShowMessage(std::string_view title, std::string_view text,
                                                  model::MessageIcon icon, model::MessageButtons buttons) {
    const ArrowWhileAsking arrow;
    QMessageBox box(ToQt(icon), ToQString(title), Lines(text), ToQt(buttons), &window_);
    return FromQt(box.exec());
}

std::optional<std::string> QtUserInterface::InputBox(std::string_view prompt, std::string_view title,
                                                     std::string_view defaultText) {
    const ArrowWhileAsking arrow;
    bool ok = false;
    const QString answer = QInputDialog::getText(&window_, ToQString(title), Lines(prompt), QLineEdit::Normal,
                                                 ToQString(defaultText), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return ToCore(answer);
}

void QtUserInterface::ShowProgress(std::string_view text) {
    if (status_) {
        status_->setText(ToQString(text));
        status_->repaint(); // show it now, while the operation runs on
    }
}

void QtUserInterface::SetCaption(std::string_view text) {
    window_.setWindowTitle(ToQString(text));
}

void QtUserInterface::PushBusyPointer() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUserInterface::PopBusyPointer() {
    QApplication::restoreOverrideCursor();
}

void QtUserInterface::ClearTextureLists() {
    for (const auto& c : combos_) {
        if (c) {
            c->clear();
        }
    }
    for (const auto& l : lists_) {
        if (l) {
            l->clear();
        }
    }
}

void QtUserInterface::AppendTextureList(std::string_view text) {
    const QString entry = ToQString(text);
    for (const auto& c : combos_) {
        if (c) {
            c->addItem(entry);
        }
    }
    for (const auto& l : lists_) {
        if (l) {
            l->addItem(entry);
        }
    }
}

void QtUserInterface::PartTreeChanged() {
    if (OnPartTreeChanged) {
        OnPartTreeChanged();
    }
}

void QtUserInterface::SetPartsCaption(std::string_view text) {
    if (OnPartsCaption) {
        OnPartsCaption(text);
    }
}

void QtUserInterface::ShowPartsWindow() {
    if (OnShowPartsWindow) {
        OnShowPartsWindow();
    }
}

} // namespace zv::app
