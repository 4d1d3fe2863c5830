#pragma once

#include <string_view>
#include <vector>

namespace veltrio {
class Program;
struct TProcedure;
} // namespace veltrio

namespace veltrio::gui {

// When a procedure's menu item may be enabled, beyond its procedure's own
// rule.
enum class TMenuRule {
    // Needs no loaded study (the tools that choose their own files).
    NoStudy,
    // A study is loaded.
    Loaded,
    SplitLevel,
    SplitLevelOrTwoReplicates,
    UniformLevel,
    MoreThanOneLevel,
    TwoReplicates,
};

// Whether the rule allows the item for the program's state.
bool MenuRuleAllows(TMenuRule rule, const Program& program);

// The menus that hold procedures.
enum class TProcedureMenu {
    Procedures,
    Preliminary,
    Quality,
    Laboratories,
    LabReport,
    Tools,
};

// One menu item that starts a procedure of the shared procedure list. The
// item is enabled when the list holds a procedure of that name, the rule
// allows it and the procedure's own rule does; until a procedure of that
// name exists the item stays disabled.
struct TMenuCommand {
    TProcedureMenu Menu;
    const char* Caption;
    // The procedure's name in the shared list (its menu caption in lower
    // case, words joined by hyphens; a composite "Everything below" is named
    // after its menu); nullptr for the two hidden
    // commands that only say they are not implemented.
    const char* Procedure;
    TMenuRule Rule;
    const char* Hint;
    // Present but not shown in the menu.
    bool Hidden = false;
};

// Every procedure item, in menu order.
const std::vector<TMenuCommand>& ProcedureMenuCommands();

// The name of the composite that runs the whole study; it is guarded
// against running twice at once.
inline constexpr std::string_view ExecuteStudyProcedure = "execute-interlaboratory-study";

} // namespace veltrio::gui
