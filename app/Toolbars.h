#pragma once
// The four toolbars as data: buttons by key, with their tool tips and kinds. A mode button
// belongs to its toolbar's exclusive group; an option toggles; a command acts once.

#include <string_view>
#include <vector>

namespace zv::app {

enum class ButtonKind { Command, Mode, Option, Separator };

struct ToolButtonDef {
    std::string_view Key;     // the Qt object name of the button's action
    std::string_view Caption; // the text on the button
    std::string_view ToolTip = {};
    ButtonKind Kind = ButtonKind::Command;
};

struct ToolbarDef {
    std::string_view Name; // "Toolbar1" .. "Toolbar4"
    std::vector<ToolButtonDef> Buttons;
};

const std::vector<ToolbarDef>& MainToolbars();

// The working modes of Toolbar1's mode group, the first being the start mode.
inline constexpr std::string_view kStartMode = "view_mode";

} // namespace zv::app
