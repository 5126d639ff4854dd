#include "tests/support/RecordingUi.h"

namespace zv::test {

model::MessageAnswer RecordingUi::ShowMessage(std::string_view title, std::string_view text,
                                              model::MessageIcon icon, model::MessageButtons buttons) {
    Messages.push_back({std::string(title), std::string(text), icon, buttons});
    if (!Answers.empty()) {
        const model::MessageAnswer a = Answers.front();
        Answers.pop_front();
        return a;
    }
    switch (buttons) {
    case model::MessageButtons::YesNo:
        return model::MessageAnswer::Yes;
    case model::MessageButtons::Ok:
    case model::MessageButtons::OkCancel:
        break;
    }
    return model::MessageAnswer::Ok;
}

std::optional<std::string> RecordingUi::InputBox(std::string_view prompt, std::string_view /*title*/,
                                                 std::string_view defaultText) {
    Prompts.emplace_back(prompt);
    if (!Inputs.empty()) {
        auto a = Inputs.front();
        Inputs.pop_front();
        return a;
    }
    return std::string(defaultText);
}

} // namespace zv::test
