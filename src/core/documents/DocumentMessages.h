#pragma once

#include <string>
#include <string_view>

namespace veltrio {

class Host;

// The document layer reports misuse ("Internal Error: TTavBaseTable.ReadCell")
// and item diagnostics as messages of the host that runs the program. The
// shell installs its host at start-up; without one the messages go to the
// standard error stream.
void SetDocumentHost(Host* host);
Host* DocumentHost();

void ShowDocumentMessage(const std::string& text);
// "Internal Error: " + where.
void InternalError(std::string_view where);

// Installs a host for the lifetime of the object and puts the previous one
// back afterwards.
class ScopedDocumentHost {
public:
    explicit ScopedDocumentHost(Host& host);
    ~ScopedDocumentHost();
    ScopedDocumentHost(const ScopedDocumentHost&) = delete;
    ScopedDocumentHost& operator=(const ScopedDocumentHost&) = delete;

private:
    Host* m_previous;
};

} // namespace veltrio
