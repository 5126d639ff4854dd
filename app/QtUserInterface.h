#pragma once
// The user-interface port implemented with Qt widgets for the editor window.

#include "model/UserInterface.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>

#include <functional>
#include <vector>

namespace zv::app {

class QtUserInterface : public model::UserInterface {
public:
    // Messages and input boxes are modal over window; the caption is window's title.
    explicit QtUserInterface(QWidget& window) : window_(window) {}

    model::MessageAnswer ShowMessage(std::string_view title, std::string_view text, model::MessageIcon icon,
                                     model::MessageButtons buttons) override;
    std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override;
    void ShowProgress(std::string_view text) override;
    void SetCaption(std::string_view text) override;
    void PushBusyPointer() override;
    void PopBusyPointer() override;
    void ClearTextureLists() override;
    void AppendTextureList(std::string_view text) override;
    void PartTreeChanged() override;
    void SetPartsCaption(std::string_view text) override;
    void ShowPartsWindow() override;

    // The first status panel.
    void SetStatusPanel(QLabel* panel) { status_ = panel; }
    // A texture list that follows the texture slots (the editor has five).
    void AddTextureList(QComboBox* list) { combos_.emplace_back(list); }
    void AddTextureList(QListWidget* list) { lists_.emplace_back(list); }

    // What the windows do on the port's notices; unset ones do nothing.
    std::function<void()> OnPartTreeChanged;
    std::function<void(std::string_view)> OnPartsCaption;
    std::function<void()> OnShowPartsWindow;

private:
    QWidget& window_;
    QPointer<QLabel> status_;
    std::vector<QPointer<QComboBox>> combos_;
    std::vector<QPointer<QListWidget>> lists_;
};

} // namespace zv::app
