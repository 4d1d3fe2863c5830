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
    Documents.push_back({std::move(document), nullptr, caption, helpContext, CurrentProcedure});
}

void CliHost::ShowChart(std::shared_ptr<TGraphWindow> chart, const std::string& caption,
                        int helpContext) {
    Documents.push_back({nullptr, std::move(chart), caption, helpContext, CurrentProcedure});
}

bool CliHost::AskYesNo(const std::string& text) {
    m_err << "veltrio-cli: " << text << " " << (m_answer ? "Yes" : "No") << '\n';
    return m_answer;
}

} // namespace veltrio
