#pragma once
// The one narrow interface through which the core reaches the user. The editor implements it
// with Qt widgets, the command-line tool on the console, and tests with a recording double.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zv::model {

enum class MessageIcon { None, Information, Warning, Critical, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A modal message box; returns the button the user pressed.
    virtual MessageAnswer ShowMessage(std::string_view title, std::string_view text, MessageIcon icon,
                                      MessageButtons buttons) = 0;
    // An input box with a default answer; nullopt when the user cancelled.
    virtual std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                                std::string_view defaultText) = 0;
    // Text of the first status panel, repainted at once so it shows while work goes on.
    virtual void ShowProgress(std::string_view text) = 0;
    // The main window's caption.
    virtual void SetCaption(std::string_view text) = 0;
    // Busy pointer on and back to what it was; use BusyPointer rather than calling these.
    virtual void PushBusyPointer() = 0;
    virtual void PopBusyPointer() = 0;
    // The five texture lists of the editor, kept aligned with the texture slots: one call
    // appends the same entry to each of them.
    virtual void ClearTextureLists() = 0;
    virtual void AppendTextureList(std::string_view text) = 0;
    // The parts tree changed (nodes added, removed, renamed, checked): re-read it from the store.
    virtual void PartTreeChanged() = 0;
    virtual void SetPartsCaption(std::string_view text) = 0;
    virtual void ShowPartsWindow() = 0;
};

// A user interface that shows nothing: messages answer with their first button, input boxes
// are cancelled. Front ends without a window derive from it and override what they show.
class QuietUserInterface : public UserInterface {
public:
    MessageAnswer ShowMessage(std::string_view, std::string_view, MessageIcon,
                              MessageButtons buttons) override {
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    std::optional<std::string> InputBox(std::string_view, std::string_view, std::string_view) override {
        return std::nullopt;
    }
    void ShowProgress(std::string_view) override {}
    void SetCaption(std::string_view) override {}
    void PushBusyPointer() override {}
    void PopBusyPointer() override {}
    void ClearTextureLists() override {}
    void AppendTextureList(std::string_view) override {}
    void PartTreeChanged() override {}
    void SetPartsCaption(std::string_view) override {}
    void ShowPartsWindow() override {}
};

// Passes every call on to another user interface. The workspace reaches the user through one,
// so that a command can gather the messages of many loads into one for a while (UiRedirect).
class UiRelay final : public UserInterface {
public:
    explicit UiRelay(UserInterface& to) : to_(&to) {}
    UserInterface& Target() const { return *to_; }
    UserInterface* Exchange(UserInterface& to) {
        UserInterface* old = to_;
        to_ = &to;
        return old;
    }
    MessageAnswer ShowMessage(std::string_view title, std::string_view text, MessageIcon icon,
                              MessageButtons buttons) override {
        return to_->ShowMessage(title, text, icon, buttons);
    }
    std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override {
        return to_->InputBox(prompt, title, defaultText);
    }
    void ShowProgress(std::string_view text) override { to_->ShowProgress(text); }
    void SetCaption(std::string_view text) override { to_->SetCaption(text); }
    void PushBusyPointer() override { to_->PushBusyPointer(); }
    void PopBusyPointer() override { to_->PopBusyPointer(); }
    void ClearTextureLists() override { to_->ClearTextureLists(); }
    void AppendTextureList(std::string_view text) override { to_->AppendTextureList(text); }
    void PartTreeChanged() override { to_->PartTreeChanged(); }
    void SetPartsCaption(std::string_view text) override { to_->SetPartsCaption(text); }
    void ShowPartsWindow() override { to_->ShowPartsWindow(); }

private:
    UserInterface* to_;
};

// While it lives, the relay's messages are kept here (answered with their first button) and
// everything else still reaches the user.
class UiRedirect final : public UserInterface {
public:
    struct Message {
        std::string Title;
        std::string Text;
    };
    explicit UiRedirect(UiRelay& relay) : relay_(relay), user_(relay.Target()) { relay_.Exchange(*this); }
    ~UiRedirect() override { relay_.Exchange(user_); }
    UiRedirect(const UiRedirect&) = delete;
    UiRedirect& operator=(const UiRedirect&) = delete;

    // The messages so far; Take empties the list.
    std::vector<Message> Take() { return std::exchange(messages_, {}); }

    MessageAnswer ShowMessage(std::string_view title, std::string_view text, MessageIcon,
                              MessageButtons buttons) override {
        messages_.push_back({std::string(title), std::string(text)});
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    std::optional<std::string> InputBox(std::string_view, std::string_view, std::string_view) override {
        return std::nullopt;
    }
    void ShowProgress(std::string_view text) override { user_.ShowProgress(text); }
    void SetCaption(std::string_view text) override { user_.SetCaption(text); }
    void PushBusyPointer() override { user_.PushBusyPointer(); }
    void PopBusyPointer() override { user_.PopBusyPointer(); }
    void ClearTextureLists() override { user_.ClearTextureLists(); }
    void AppendTextureList(std::string_view text) override { user_.AppendTextureList(text); }
    void PartTreeChanged() override { user_.PartTreeChanged(); }
    void SetPartsCaption(std::string_view text) override { user_.SetPartsCaption(text); }
    void ShowPartsWindow() override { user_.ShowPartsWindow(); }

private:
    UiRelay& relay_;
    UserInterface& user_;
    std::vector<Message> messages_;
};

// Shows the busy pointer for its lifetime and restores the previous pointer on every exit path.
class BusyPointer {
public:
    explicit BusyPointer(UserInterface& ui) : ui_(ui) { ui_.PushBusyPointer(); }
    ~BusyPointer() { ui_.PopBusyPointer(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    UserInterface& ui_;
};

} // namespace zv::model
