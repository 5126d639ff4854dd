#pragma once
// The user-interface port on a console: messages go to the error stream as "TITLE: TEXT",
// questions take their default answer, everything else is quiet.

#include "model/UserInterface.h"

#include <ostream>

namespace zv::cli {

class ConsoleUi : public model::QuietUserInterface {
public:
    explicit ConsoleUi(std::ostream& err) : err_(err) {}

    model::MessageAnswer ShowMessage(std::string_view title, std::string_view text, model::MessageIcon icon,
                                     model::MessageButtons buttons) override;
    std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override;

    int MessageCount() const { return messages_; }

private:
    std::ostream& err_;
    int messages_ = 0;
};

} // namespace zv::cli
