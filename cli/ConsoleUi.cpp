#include "cli/ConsoleUi.h"

#include <string>

namespace zv::cli {
namespace {

// Message texts break lines with a lone CR; a console wants LF.
std::string ConsoleLines(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '\r') {
            c = '\n';
        }
    }
    return out;
}

} // namespace

model::MessageAnswer ConsoleUi::ShowMessage(std::string_view title, std::string_view text, model::MessageIcon,
                                            model::MessageButtons buttons) {
    ++messages_;
    err_ << ConsoleLines(title) << ": " << ConsoleLines(text) << '\n';
    return buttons == model::MessageButtons::YesNo ? model::MessageAnswer::Yes : model::MessageAnswer::Ok;
}

std::optional<std::string> ConsoleUi::InputBox(std::string_view, std::string_view,
                                               std::string_view defaultText) {
    return std::string(defaultText);
}

} // namespace zv::cli
