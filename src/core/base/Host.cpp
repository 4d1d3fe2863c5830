#include "base/Host.h"

namespace veltrio {

Host::~Host() = default;
void Host::ShowMessage(const std::string&) {}
void Host::ShowDialog(const std::string&, const std::string&, int) {}
bool Host::AskYesNo(const std::string&) { return false; }
void Host::StartProgress(int) {}
void Host::StepProgress() {}
void Host::EndProgress() {}
void Host::SetPanelText(int, const std::string&) {}
void Host::ShowDocument(std::shared_ptr<TTavContents>, const std::string&, int) {}
void Host::ShowChart(std::shared_ptr<TGraphWindow>, const std::string&, int) {}
void Host::StudyStateChanged() {}

void Host::ProcedureStarting(const std::string&) {}

bool Host::ChooseMethodGroups(const std::vector<std::string>& codes, TMethodGroupChoice& choice) {
    choice = TMethodGroupChoice{};
    for (std::size_t i = 0; i < codes.size() && i < choice.Groups.size(); ++i) {
        choice.Groups[i] = {codes[i]};
    }
    return true;
}

} // namespace veltrio
