// The setup launcher: its pages, the install script next to the program,
// and an exit code that says how it ended.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

#include "setup/SetupDialogs.h"

namespace fs = std::filesystem;
using namespace veltrio::setup;

namespace {

fs::path FreshDir(const std::string& name) {
    const fs::path d = fs::temp_directory_path() / ("veltrio_setup_" + name);
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

void WriteScript(const fs::path& dir, const std::string& body) {
    std::ofstream(dir / ScriptName) << "#!/bin/sh\n" << body;
}

// Answers the pages as told and records what setup did, in order.
class TRecordingUi : public TSetupUi {
public:
    explicit TRecordingUi(std::vector<bool> answers) : m_answers(std::move(answers)) {}
    bool ShowPage(int index) override {
        Events.push_back("page " + std::to_string(index));
        const std::size_t i = Events.size() - 1;
        return i < m_answers.size() ? m_answers[i] : true;
    }
    TScriptResult Install(const std::function<TScriptResult()>& run) override {
        TScriptResult r = run();
        Events.push_back("script ended");
        return r;
    }
    void ShowError(const std::string& message) override {
        Events.push_back("error");
        Error = message;
    }
    std::vector<std::string> Events;
    std::string Error;

private:
    std::vector<bool> m_answers;
};

} // namespace

TEST(Setup, WalksItsPagesAndEndsWithTheOutcomeOfTheScript) {
    struct Case {
        const char* Name;
        std::vector<bool> Answers;
        const char* Script; // nullptr: no script next to the program
        std::vector<std::string> Events;
        int Exit;
        std::vector<std::string> ErrorParts;
        bool Ran;
    };
    const Case cases[] = {
        {"cancel on the licence", {false}, "touch ran\n", {"page 0"}, seCancelled, {}, false},
        {"cancel on the installation notice",
         {true, false},
         "touch ran\n",
         {"page 0", "page 1"},
         seCancelled,
         {},
         false},
        {"no script",
         {true, true},
         nullptr,
         {"page 0", "page 1", "error"},
         seScriptMissing,
         {"Installation failure. Could not\r\nfind script file: ", "case3/surnel25.inf"},
         false},
        {"a failing script",
         {true, true},
         "touch ran\necho 'cp: cannot create /opt/x: Permission denied' >&2\nexit 3\n",
         {"page 0", "page 1", "script ended", "error"},
         seScriptFailed,
         {"case4/surnel25.inf", "ended with exit code 3.", "Permission denied"},
         true},
        {"a script killed by a signal",
         {true, true},
         "touch ran\nkill -9 $$\n",
         {"page 0", "page 1", "script ended", "error"},
         seScriptFailed,
         {"was stopped by signal 9"},
         true},
        {"a succeeding script",
         {true, true},
         "sleep 0.2\ntouch ran\n",
         {"page 0", "page 1", "script ended", "page 2"},
         seInstalled,
         {},
         true},
    };
    int n = 0;
    for (const Case& c : cases) {
        const fs::path dir = FreshDir("case" + std::to_string(++n));
        if (c.Script) {
            WriteScript(dir, c.Script);
        }
        TRecordingUi ui(c.Answers);
        EXPECT_EQ(RunSetup(ui, dir), c.Exit) << c.Name;
        EXPECT_EQ(ui.Events, c.Events) << c.Name;
        for (const std::string& part : c.ErrorParts) {
            EXPECT_NE(ui.Error.find(part), std::string::npos) << c.Name << ": " << ui.Error;
        }
        // The script runs in its own folder, and only after both pages.
        EXPECT_EQ(fs::exists(dir / "ran"), c.Ran) << c.Name;
    }
}

TEST(Setup, TheScriptIsTheOneNextToTheProgramNotInTheCurrentFolder) {
    const fs::path bin = FreshDir("bin");
    const fs::path cwd = FreshDir("cwd");
    WriteScript(cwd, "touch wrong\n");
    fs::copy_file(fs::path(VELTRIO_BIN_DIR) / "setup", bin / "setup");
    const auto run = [&](const std::string& args) {
        const std::string cmd = "cd '" + cwd.string() + "' && '" + (bin / "setup").string() + "' " +
                                args + " > out.txt 2> err.txt";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const auto read = [&](const char* f) {
        std::ifstream in(cwd / f);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    };

    EXPECT_EQ(run("--yes"), seScriptMissing);
    EXPECT_NE(read("err.txt").find("find script file: " + (bin / ScriptName).string()),
              std::string::npos)
        << read("err.txt");
    EXPECT_FALSE(fs::exists(cwd / "wrong"));

    WriteScript(bin, "touch installed\n");
    EXPECT_EQ(run("--yes ignored words"), seInstalled);
    EXPECT_TRUE(fs::exists(bin / "installed"));
    EXPECT_FALSE(fs::exists(cwd / "wrong"));
    const std::string out = read("out.txt");
    for (const char* page : {"I Agree", "Install", "Finish", "Install Surnel32 version 2.5",
                             "I hope you enjoy using Surnel32."}) {
        EXPECT_NE(out.find(page), std::string::npos) << page;
    }
    EXPECT_LT(out.find("I Agree"), out.find("Finish"));
}

TEST(SetupDialog, PagesShareTheirLayoutAndEndByTheirButtons) {
    int argc = 1;
    char name[] = "setup_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    const QIcon icon = SetupIcon();
    EXPECT_FALSE(icon.isNull());

    TSetupDialog licence(0, icon), install(1, icon), done(2, icon);
    EXPECT_EQ(licence.windowTitle(), "Install Surnel32 version 2.5");
    EXPECT_EQ(done.windowTitle(), "Install Surnel32 version 2.5");
    EXPECT_EQ(licence.DefaultButton()->text(), "I Agree");
    EXPECT_EQ(install.DefaultButton()->text(), "Install");
    EXPECT_EQ(done.DefaultButton()->text(), "Finish");
    EXPECT_TRUE(licence.TextBox()->isReadOnly());
    EXPECT_TRUE(install.TextBox()->toPlainText().startsWith("When you press \"Install\", setup will:\n"));
    // The same template for pages 0 and 1; the done page has no Cancel.
    EXPECT_EQ(licence.size(), install.size());
    EXPECT_EQ(licence.TextBox()->geometry(), install.TextBox()->geometry());
    ASSERT_NE(licence.CancelButton(), nullptr);
    EXPECT_EQ(licence.CancelButton()->geometry(), install.CancelButton()->geometry());
    EXPECT_EQ(done.CancelButton(), nullptr);
    EXPECT_LT(done.width(), licence.width());
    // Buttons below the text, inside the dialog.
    for (TSetupDialog* d : {&licence, &done}) {
        EXPECT_GE(d->DefaultButton()->geometry().top(), d->TextBox()->geometry().bottom());
        EXPECT_TRUE(d->rect().contains(d->DefaultButton()->geometry()));
    }

    struct Case {
        const char* Name;
        int Page;
        std::function<void(TSetupDialog&)> Act;
        int Result;
    };
    const Case cases[] = {
        {"default button", 0, [](TSetupDialog& d) { d.DefaultButton()->click(); }, QDialog::Accepted},
        {"Cancel", 1, [](TSetupDialog& d) { d.CancelButton()->click(); }, QDialog::Rejected},
        {"Esc",
         0,
         [](TSetupDialog& d) {
             QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&d, &esc);
         },
         QDialog::Rejected},
        {"Finish", 2, [](TSetupDialog& d) { d.DefaultButton()->click(); }, QDialog::Accepted},
    };
    for (const Case& c : cases) {
        TSetupDialog d(c.Page, icon);
        QTimer::singleShot(0, &d, [&] { c.Act(d); });
        EXPECT_EQ(d.exec(), c.Result) << c.Name;
    }
}
