#include "base/AtomicFile.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace veltrio {

namespace fs = std::filesystem;

bool ReadWholeFile(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteFileAtomically(const fs::path& path, std::string_view bytes, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) {
            *error = why;
        }
        return false;
    };
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::random_device rd;
    const fs::path tmp =
        dir / ("." + path.filename().string() + ".tmp" + std::to_string(rd() % 1000000));
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            return fail("cannot create " + tmp.string());
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ec;
            fs::remove(tmp, ec);
            return fail("cannot write " + tmp.string());
        }
    }
#if defined(__unix__) || defined(__APPLE__)
    if (int fd = ::open(tmp.c_str(), O_RDONLY); fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        return fail("cannot replace " + path.string() + ": " + ec.message());
    }
    return true;
}

} // namespace veltrio
