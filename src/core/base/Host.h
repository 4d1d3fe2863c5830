#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace veltrio {

class TTavContents;
class TGraphWindow;

// The method groups of the confidence ellipses: up to five groups of method
// codes (an empty group takes no part) and how the groups are marked
// (0 markers, 1 method numbers).
struct TMethodGroupChoice {
    std::array<std::vector<std::string>, 5> Groups;
    int DisplayType = 0;
};

// What a procedure asks of whoever runs it. The GUI answers with windows and
// dialogs, veltrio-cli with files and documented defaults, tests with a
// recorder. Every operation has a harmless default so that a host only
// overrides what it shows.
class Host {
public:
    virtual ~Host();

    // A plain message box with an OK button.
    virtual void ShowMessage(const std::string& text);
    // A modal message with its own caption and help context (nominal-value
    // checks and the like).
    virtual void ShowDialog(const std::string& caption, const std::string& text, int helpContext);
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(const std::string& text);

    // The progress bar of status-bar panel 1.
    virtual void StartProgress(int steps);
    virtual void StepProgress();
    virtual void EndProgress();
    // Status-bar panels 1 to 3.
    virtual void SetPanelText(int panel, const std::string& text);

    // A finished document for a new browser window with its caption and
    // help context. The host keeps the document as long as it shows it.
    virtual void ShowDocument(std::shared_ptr<TTavContents> document, const std::string& caption,
                              int helpContext);
    // A finished chart for a new chart window with its caption and help
    // context; the host keeps the chart as long as it shows it.
    virtual void ShowChart(std::shared_ptr<TGraphWindow> chart, const std::string& caption,
                           int helpContext);

    // The loaded study, its marks or its state changed: menus re-evaluate.
    virtual void StudyStateChanged();
    // A composite command starts one of its procedures (by its name).
    virtual void ProcedureStarting(const std::string& name);

    // The method grouping dialog over the study's method codes (in list
    // order); true for OK. By default one group per code, the first five
    // codes, marked with markers.
    virtual bool ChooseMethodGroups(const std::vector<std::string>& codes,
                                    TMethodGroupChoice& choice);
};

// A host that shows nothing and answers every question with `answer`.
class SilentHost : public Host {
public:
    explicit SilentHost(bool answer = false) : m_answer(answer) {}
    bool AskYesNo(const std::string&) override { return m_answer; }

private:
    bool m_answer;
};

} // namespace veltrio
