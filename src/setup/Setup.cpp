#include "setup/Setup.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace veltrio::setup {

namespace fs = std::filesystem;

const std::array<TSetupPage, 3>& Pages() {
    static const std::array<TSetupPage, 3> pages = {{
        {"Surnel32 version 2.5\r\n"
         "Copyright (c) The Veltrio developers. https://veltrio.example.org\r\n"
         "\r\n"
         "This program is free to use and to pass on, unchanged and complete.\r\n"
         "It is provided as it is, without warranty of any kind: the authors\r\n"
         "are not liable for any damage that comes from its use. Check every\r\n"
         "result before you rely on it.\r\n"
         "\r\n"
         "Press \"I Agree\" to accept these terms, or \"Cancel\" to leave setup.",
         "I Agree", TPageKind::License},
        {"When you press \"Install\", setup will:\r\n"
         "  1) Copy 14 files (5,221,338 bytes) to \"C:\\Program Files\\Surnel32\"\r\n"
         "  2) Make a Surnel32 shortcut folder in the Start Programs menu.\r\n"
         "  3) Make an uninstall entry in Control Panel Add/Remove Programs.\r\n"
         "\r\n"
         "Or, to manually install the program to the folder of your choice:\r\n"
         "  1) Press \"Cancel\" now.\r\n"
         "  2) Extract all files except setup.exe and surnel25.inf to a new folder.\r\n"
         "  3) Drag Surnel32.EXE from the new folder to the desktop to make\r\n"
         "      a shortcut for the program.",
         "Install", TPageKind::License},
        {"When activity stops (in about 3-10 seconds)\r\nthe installation will be complete.\r\n"
         "\r\nI hope you enjoy using Surnel32.",
         "Finish", TPageKind::Done},
    }};
    return pages;
}

TScriptResult RunScript(const fs::path& script) {
    TScriptResult r;
    int errPipe[2];
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        r.StartError = std::strerror(errno);
        return r;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    const std::string dir = script.parent_path().string();
    // The script finds its files beside itself.
    posix_spawn_file_actions_addchdir_np(&actions, dir.empty() ? "." : dir.c_str());
    const std::string shell = "/bin/sh";
    const std::string path = script.string();
    char* argv[] = {const_cast<char*>(shell.c_str()), const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, shell.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(errPipe[1]);
    if (rc != 0) {
        close(errPipe[0]);
        r.StartError = std::strerror(rc);
        return r;
    }
    r.Started = true;
    char buf[4096];
    for (;;) {
        const ssize_t n = read(errPipe[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        r.Errors.append(buf, static_cast<std::size_t>(n));
        if (r.Errors.size() > 2048) {
            r.Errors.erase(0, r.Errors.size() - 2048);
        }
    }
    close(errPipe[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            r.StartError = std::strerror(errno);
            return r;
        }
    }
    if (WIFEXITED(status)) {
        r.ExitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        r.Signal = WTERMSIG(status);
    }
    return r;
}

std::string MissingScriptMessage(const fs::path& script) {
    return "Installation failure. Could not\r\nfind script file: " + script.string();
}

std::string FailedScriptMessage(const fs::path& script, const TScriptResult& r) {
    std::string m = "Installation failure. The script file\r\n" + script.string() + "\r\n";
    if (!r.Started) {
        m += "could not be run by the system shell: " + r.StartError + ".";
    } else if (r.Signal != 0) {
        m += "was stopped by signal " + std::to_string(r.Signal) + " (" + strsignal(r.Signal) +
             ").";
    } else {
        m += "ended with exit code " + std::to_string(r.ExitCode) + ".";
    }
    // The script's own words about what went wrong: its last lines.
    std::string errors = r.Errors;
    while (!errors.empty() && (errors.back() == '\n' || errors.back() == '\r')) {
        errors.pop_back();
    }
    if (!errors.empty()) {
        std::size_t from = errors.size();
        for (int lines = 0; lines < 5 && from != std::string::npos && from > 0; ++lines) {
            from = errors.rfind('\n', from - 1);
        }
        m += "\r\n\r\n" + errors.substr(from == std::string::npos ? 0 : from + 1);
    }
    return m;
}

int RunSetup(TSetupUi& ui, const fs::path& programDir,
             const std::function<TScriptResult(const fs::path&)>& run) {
    if (!ui.ShowPage(0) || !ui.ShowPage(1)) {
        return seCancelled;
    }
    const fs::path script = programDir / ScriptName;
    std::error_code ec;
    if (!fs::is_regular_file(script, ec)) {
        ui.ShowError(MissingScriptMessage(script));
        return seScriptMissing;
    }
    const TScriptResult r = ui.Install([&] { return run(script); });
    if (!r.Started || r.Signal != 0 || r.ExitCode != 0) {
        ui.ShowError(FailedScriptMessage(script, r));
        return seScriptFailed;
    }
    ui.ShowPage(2);
    return seInstalled;
}

fs::path ProgramDirectory(const char* argv0) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && !self.empty()) {
        return self.parent_path();
    }
    const fs::path p = fs::absolute(argv0 ? argv0 : "", ec);
    return ec ? fs::current_path() : p.parent_path();
}

} // namespace veltrio::setup
