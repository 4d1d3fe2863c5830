#include "documents/DocumentMessages.h"

#include "base/Host.h"

#include <iostream>

namespace veltrio {

namespace {
Host* g_host = nullptr;
}

void SetDocumentHost(Host* host) {
    g_host = host;
}

Host* DocumentHost() {
    return g_host;
}

void ShowDocumentMessage(const std::string& text) {
    if (g_host != nullptr) {
        g_host->ShowMessage(text);
    } else {
        std::cerr << text << '\n';
    }
}

void InternalError(std::string_view where) {
    ShowDocumentMessage("Internal Error: " + std::string(where));
}

ScopedDocumentHost::ScopedDocumentHost(Host& host) : m_previous(g_host) {
    g_host = &host;
}

ScopedDocumentHost::~ScopedDocumentHost() {
    g_host = m_previous;
}

} // namespace veltrio
