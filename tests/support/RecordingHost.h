#pragma once

#include <string>
#include <vector>

#include "base/Host.h"

namespace veltrio::testing {

// A host that records what a procedure shows and answers questions with a
// fixed reply.
class RecordingHost : public Host {
public:
    std::vector<std::string> Messages;
    std::vector<std::string> Questions;
    struct Dialog {
        std::string Caption;
        std::string Text;
        int HelpContext = 0;
    };
    std::vector<Dialog> Dialogs;
    int ProgressStarted = 0;
    int ProgressSteps = 0;
    int ProgressEnded = 0;
    int StateChanges = 0;
    std::string Panel[4];
    bool Answer = false;

    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    void ShowDialog(const std::string& caption, const std::string& text, int help) override {
        Dialogs.push_back({caption, text, help});
    }
    bool AskYesNo(const std::string& text) override {
        Questions.push_back(text);
        return Answer;
    }
    void StartProgress(int) override { ++ProgressStarted; }
    void StepProgress() override { ++ProgressSteps; }
    void EndProgress() override { ++ProgressEnded; }
    void SetPanelText(int panel, const std::string& text) override {
        if (panel >= 1 && panel <= 3) {
            Panel[panel] = text;
        }
    }
    void StudyStateChanged() override { ++StateChanges; }
    // The procedures that composite commands started, in order.
    std::vector<std::string> Started;
    void ProcedureStarting(const std::string& name) override { Started.push_back(name); }
};

} // namespace veltrio::testing
