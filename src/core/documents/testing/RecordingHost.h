#pragma once

#include "base/Host.h"
#include "documents/DocumentMessages.h"

#include <string>
#include <vector>

namespace veltrio::testing {

// Collects the messages of the document layer while it is alive.
class RecordingHost : public Host {
public:
    RecordingHost() : m_scope(*this) {}
    void ShowMessage(const std::string& text) override { Messages.push_back(text); }

    std::vector<std::string> Messages;

private:
    ScopedDocumentHost m_scope;
};

} // namespace veltrio::testing
