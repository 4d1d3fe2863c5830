#pragma once

#include <csignal>
#include <filesystem>
#include <random>
#include <string>

#include <sys/resource.h>

namespace veltrio::testing {

// Makes every write of a file beyond `bytes` fail for the lifetime of the
// object (also for root, whom folder permissions do not stop), so that a test
// can watch a writer fail halfway.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix) {
        std::random_device rd;
        m_path = std::filesystem::temp_directory_path() /
                 (prefix + "-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    // The names of the files in the folder.
    std::size_t FileCount() const {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(m_path)) {
            ++n;
        }
        return n;
    }

private:
    std::filesystem::path m_path;
};

} // namespace veltrio::testing
