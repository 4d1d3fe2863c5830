#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrio {

class Program;

// One procedure that a menu command and `veltrio-cli run` both start. The
// list is the single place where procedures are named.
struct TProcedure {
    // The name on the command line: the menu caption in lower case, words
    // joined by hyphens, punctuation left out ("descriptive-statistics").
    // Filled in from MenuCaption unless given (the composites, whose
    // captions are alike, name their menu).
    std::string Name;
    // The menu caption of the desktop program.
    std::string MenuCaption;
    // Whether the command is enabled for the program's state.
    std::function<bool(const Program&)> Enabled;
    // Runs the procedure; its documents and charts go to the program's host.
    std::function<void(Program&)> Run;
    // Hidden in the desktop program's menu, and not run when veltrio-cli
    // runs every procedure.
    bool Hidden = false;
};

// "Base table (ISO Table A)" -> "base-table-iso-table-a".
std::string CommandName(std::string_view menuCaption);

// Every procedure that exists, in menu order.
const std::vector<TProcedure>& Procedures();
const TProcedure* FindProcedure(std::string_view name);
// The menu of a procedure ("Preliminary evaluation", "General analytical
// quality", "Evaluation of laboratories", "Tools"; "Procedures" for
// "Execute interlaboratory study"); empty for an unknown name.
std::string_view ProcedureMenu(std::string_view name);

} // namespace veltrio
