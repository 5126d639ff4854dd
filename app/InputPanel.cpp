#include "app/InputPanel.h"

#include "config/ConfigFormat.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>

namespace zv::app {

bool IsNumeric(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eEdD][+-]?\d+)?\s*$)"));
    return number.match(text).hasMatch();
}

InputPanel::InputPanel(QWidget& owner, const Layout& layout)
    : QDialog(&owner), ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)), grid_(new QGridLayout(this)),
      freeText_(layout.FreeText) {
    setObjectName(layout.Name);
    setWindowTitle(layout.Title);
    setWindowModality(Qt::WindowModal);
    int row = 0;
    for (std::size_t i = 0; i < layout.Labels.size(); ++i, ++row) {
        auto* box = new QLineEdit(layout.BoxText, this);
        box->setObjectName(layout.SingleBox ? layout.BoxName
                                            : QStringLiteral("%1(%2)").arg(layout.BoxName).arg(i));
        box->installEventFilter(this);
        grid_->addWidget(new QLabel(layout.Labels[i], this), row, 0);
        grid_->addWidget(box, row, 1);
        boxes_.push_back(box);
    }
    for (std::size_t i = 0; i < layout.Checks.size(); ++i) {
        auto* check = new QCheckBox(layout.Checks[i], this);
        check->setObjectName(QStringLiteral("%1(%2)").arg(layout.CheckName).arg(i));
        check->setChecked(true);
        grid_->addWidget(check, static_cast<int>(i), 2);
        checks_.push_back(check);
    }
    row = std::max(row, static_cast<int>(layout.Checks.size()));
    ok_->setObjectName(layout.ButtonName + QStringLiteral("(0)"));
    cancel_->setObjectName(layout.ButtonName + QStringLiteral("(1)"));
    ok_->setDefault(true);
    grid_->addWidget(ok_, row, 0);
    grid_->addWidget(cancel_, row, 1);
    connect(ok_, &QPushButton::clicked, this, [this] {
        if (!OnOk || OnOk()) {
            accept();
        }
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<std::vector<double>> InputPanel::Values() {
    std::vector<double> values;
    for (QLineEdit* box : boxes_) {
        if (!IsNumeric(box->text())) {
            box->setFocus();
            box->selectAll();
            return std::nullopt;
        }
        values.push_back(config::ReadNumber(box->text().toStdString()));
    }
    return values;
}

void InputPanel::Open() {
    open();
    if (!boxes_.empty()) {
        boxes_.front()->setFocus();
        boxes_.front()->selectAll();
    }
}

bool InputPanel::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box == nullptr) {
        return false;
    }
    if (event->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
    } else if (event->type() == QEvent::FocusOut && !freeText_ && isVisible() && !IsNumeric(box->text())) {
        // Clicking Cancel still works: the click arrives after the focus came back.
        QTimer::singleShot(0, box, [box] {
            box->setFocus();
            box->selectAll();
        });
    }
    return false;
}

} // namespace zv::app
