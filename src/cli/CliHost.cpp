#include "CliHost.h"

#include <ostream>

namespace veltrio {

void CliHost::ShowMessage(const std::string& text) {
    ++m_messages;
    m_err << "veltrio-cli: " << text << '\n';
}

void CliHost::ShowDialog(const std::string& caption, const std::string& text, int) {
    // An information dialog says the same each time; once is enough.
    if (!m_dialogsShown.insert(caption + '\n' + text).second) {
        return;
    }
    ++m_messages;
    m_err << "veltrio-cli: " << caption << ": " << text << '\n';
}

void CliHost::ShowDocument(std::shared_ptr<TTavContents> document, const std::string& caption,
                           int helpContext) {
    Documents.push_back(
        {std::move(document), nullptr, caption, helpContext, CurrentProcedure, RequestedProcedure});
}

void CliHost::ShowChart(std::shared_ptr<TGraphWindow> chart, const std::string& caption,
                        int helpContext) {
    Documents.push_back(
        {nullptr, std::move(chart), caption, helpContext, CurrentProcedure, RequestedProcedure});
}

bool CliHost::AskYesNo(const std::string& text) {
    m_err << "veltrio-cli: " << text << " " << (m_answer ? "Yes" : "No") << '\n';
    return m_answer;
}

bool CliHost::ChooseMethodGroups(const std::vector<std::string>& codes,
                                 TMethodGroupChoice& choice) {
    if (MethodGroups.empty()) {
        Host::ChooseMethodGroups(codes, choice);
        choice.DisplayType = EllipseDisplay;
        return true;
    }
    auto folded = [](std::string s) {
        for (char& c : s) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        return s;
    };
    choice = TMethodGroupChoice{};
    for (std::size_t g = 0; g < MethodGroups.size() && g < choice.Groups.size(); ++g) {
        for (const auto& code : MethodGroups[g]) {
            // The code as the study writes it, as the dialog offers it.
            const std::string* known = nullptr;
            for (const auto& c : codes) {
                if (folded(c) == folded(code)) {
                    known = &c;
                }
            }
            if (!known) {
                ShowMessage("--method-group: the study has no laboratory with the method code \"" +
                            code + "\"");
                return false;
            }
            choice.Groups[g].push_back(*known);
        }
    }
    choice.DisplayType = EllipseDisplay;
    return true;
}

} // namespace veltrio
