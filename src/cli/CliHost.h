#pragma once

#include <iosfwd>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/Host.h"

namespace veltrio {

// The host of the command-line program: messages go to standard error,
// questions take their documented default, there is no progress display.
class CliHost : public Host {
public:
    explicit CliHost(std::ostream& err, bool answer = true) : m_err(err), m_answer(answer) {}
    void ShowMessage(const std::string& text) override;
    void ShowDialog(const std::string& caption, const std::string& text, int helpContext) override;
    // Questions are answered with the default given at construction.
    bool AskYesNo(const std::string& text) override;

    // Documents and charts are kept in the order the procedures show them.
    void ShowDocument(std::shared_ptr<TTavContents> document, const std::string& caption,
                      int helpContext) override;
    void ShowChart(std::shared_ptr<TGraphWindow> chart, const std::string& caption,
                   int helpContext) override;

    // A document or a chart.
    struct ShownDocument {
        std::shared_ptr<TTavContents> Document;
        std::shared_ptr<TGraphWindow> Chart;
        std::string Caption;
        int HelpContext = 0;
        // The procedure that showed it.
        std::string Name;
        // The procedure named on the command line (a composite, or the
        // procedure itself).
        std::string Requested;
    };
    // Set while a procedure runs, to name its documents and charts; a
    // composite sets it for each of its procedures.
    std::string CurrentProcedure;
    std::string RequestedProcedure;
    void ProcedureStarting(const std::string& name) override { CurrentProcedure = name; }
    std::vector<ShownDocument> Documents;

    int MessageCount() const { return m_messages; }

    // The method groups given on the command line (none: one group per
    // code, the first five) and the display type. A code that the study
    // does not have is refused with a message.
    std::vector<std::vector<std::string>> MethodGroups;
    int EllipseDisplay = 0;
    bool ChooseMethodGroups(const std::vector<std::string>& codes,
                            TMethodGroupChoice& choice) override;

private:
    std::ostream& m_err;
    std::set<std::string> m_dialogsShown;
    bool m_answer;
    int m_messages = 0;
};

} // namespace veltrio
