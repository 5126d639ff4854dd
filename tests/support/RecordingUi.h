#pragma once
// A user-interface double for tests: records everything the core shows and answers questions
// from a script (default: the first button, or the default text).

#include "model/UserInterface.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace zv::test {

struct RecordedMessage {
    std::string Title;
    std::string Text;
    model::MessageIcon Icon;
    model::MessageButtons Buttons;
};

class RecordingUi : public model::UserInterface {
public:
    model::MessageAnswer ShowMessage(std::string_view title, std::string_view text, model::MessageIcon icon,
                                     model::MessageButtons buttons) override;
    std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override;
    void ShowProgress(std::string_view text) override { Progress.emplace_back(text); }
    void SetCaption(std::string_view text) override { Caption = text; }
    void PushBusyPointer() override {
        ++BusyDepth;
        ++BusyCalls;
    }
    void PopBusyPointer() override { --BusyDepth; }
    void ClearTextureLists() override { TextureList.clear(); }
    void AppendTextureList(std::string_view text) override { TextureList.emplace_back(text); }
    void PartTreeChanged() override { ++PartTreeChanges; }
    void SetPartsCaption(std::string_view text) override { PartsCaption = text; }
    void ShowPartsWindow() override { PartsWindowShown = true; }

    // Scripted answers, taken in order.
    std::deque<model::MessageAnswer> Answers;
    std::deque<std::optional<std::string>> Inputs;

    std::vector<RecordedMessage> Messages;
    std::vector<std::string> Prompts;
    std::vector<std::string> Progress;
    std::vector<std::string> TextureList;
    std::string Caption;
    std::string PartsCaption;
    int BusyDepth = 0;
    int BusyCalls = 0;
    int PartTreeChanges = 0;
    bool PartsWindowShown = false;
};

} // namespace zv::test
