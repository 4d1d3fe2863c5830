#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>

// The setup launcher: two confirmation pages, the install script run by the
// system shell, and the outcome. It shares nothing with the main program.
namespace veltrio::setup {

inline constexpr const char* Title = "Install Surnel32 version 2.5";
// The install script, looked up next to the setup program.
inline constexpr const char* ScriptName = "surnel25.inf";

enum class TPageKind { License, Done };

struct TSetupPage {
    std::string Body; // lines separated by "\r\n"
    std::string Button;
    TPageKind Kind;
};

// Pages 0 (the licence notice), 1 (the installation notice) and 2 (done).
const std::array<TSetupPage, 3>& Pages();

// How setup ends: 0 only when the script ran and succeeded.
enum TSetupExit : int {
    seInstalled = 0,
    seCancelled = 1,
    seScriptMissing = 2,
    seScriptFailed = 3,
};

struct TScriptResult {
    bool Started = false;  // false when the shell could not be started at all
    int ExitCode = -1;     // the script's exit status when it exited
    int Signal = 0;        // the signal that ended it, 0 when it exited
    std::string Errors;    // what it wrote to standard error (the last 2 KiB)
    std::string StartError;
};

// Runs the script with the system shell (/bin/sh) in its own folder and
// waits for it to end.
TScriptResult RunScript(const std::filesystem::path& script);

// What setup asks of its user.
class TSetupUi {
public:
    virtual ~TSetupUi() = default;
    // Shows a page; true when it was closed by its default button.
    virtual bool ShowPage(int index) = 0;
    // Runs the install while the user is told that it runs.
    virtual TScriptResult Install(const std::function<TScriptResult()>& run) { return run(); }
    virtual void ShowError(const std::string& message) = 0;
};

// The message of a failed install, naming what went wrong.
std::string MissingScriptMessage(const std::filesystem::path& script);
std::string FailedScriptMessage(const std::filesystem::path& script, const TScriptResult& r);

// The whole launcher: page 0, page 1, the script, then page 2 or the error.
// `programDir` is the folder of the setup program.
int RunSetup(TSetupUi& ui, const std::filesystem::path& programDir,
             const std::function<TScriptResult(const std::filesystem::path&)>& run = RunScript);

// The folder of the running program (from /proc/self/exe, else argv[0]).
std::filesystem::path ProgramDirectory(const char* argv0);

} // namespace veltrio::setup
