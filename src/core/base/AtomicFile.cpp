#include "base/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#define VELTRIO_POSIX_FILES 1
#endif

namespace veltrio {

namespace fs = std::filesystem;

namespace {

std::string ErrnoText(int err) {
    switch (err) {
    case ENOSPC:
        return "the disk is full";
#ifdef EDQUOT
    case EDQUOT:
        return "the disk quota is used up";
#endif
    case EFBIG:
        return "the file would exceed the file-size limit";
    case EACCES:
    case EPERM:
        return "permission denied";
    case EROFS:
        return "the file system is read-only";
    default:
        return std::strerror(err);
    }
}

bool Fail(std::string* error, const std::string& why) {
    if (error) {
        *error = why;
    }
    return false;
}

} // namespace

bool ReadWholeFile(const fs::path& path, std::string& bytes, std::string* error,
                   std::size_t limit) {
    bytes.clear();
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st)) {
        return Fail(error, "it does not exist");
    }
    if (fs::is_directory(st)) {
        return Fail(error, "it is a folder, not a file");
    }
    // Devices and pipes may never end or block the program.
    if (!fs::is_regular_file(st)) {
        return Fail(error, "it is not a regular file");
    }
    const auto size = fs::file_size(path, ec);
    if (!ec && size > limit) {
        return Fail(error, "it is larger than " + std::to_string(limit / (1024 * 1024)) +
                               " MB, far more than any file of the program");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Fail(error, ErrnoText(errno));
    }
    // Read at most one byte beyond the limit: a file that grows while it is
    // read is refused too.
    bytes.resize(limit + 1);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (in.bad()) {
        bytes.clear();
        return Fail(error, "it cannot be read");
    }
    bytes.resize(got);
    if (got > limit) {
        bytes.clear();
        return Fail(error, "it is larger than " + std::to_string(limit / (1024 * 1024)) +
                               " MB, far more than any file of the program");
    }
    bytes.shrink_to_fit();
    return true;
}

// Writes beside `path` and renames into place; `error` gets the bare cause.
static bool WriteReplacing(const fs::path& path, std::string_view bytes, std::string* error) {
    std::error_code ec;
    // Rewrite the target of a link, not the link.
    fs::path target = path;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        target = fs::weakly_canonical(path, ec);
        if (ec) {
            return Fail(error, "the link cannot be followed");
        }
    }
    const fs::file_status existing = fs::status(target, ec);
    const bool exists = !ec && fs::exists(existing);
    if (exists && fs::is_directory(existing)) {
        return Fail(error, "it is a folder");
    }
    if (exists && !fs::is_regular_file(existing)) {
        return Fail(error, "it is not a regular file");
    }
    // A file without any write permission is read-only also for a user
    // (such as root) whom the system would let write it.
    constexpr auto writeBits = fs::perms::owner_write | fs::perms::group_write |
                               fs::perms::others_write;
    bool readOnly = exists && (existing.permissions() & writeBits) == fs::perms::none;
#ifdef VELTRIO_POSIX_FILES
    readOnly = readOnly || (exists && ::access(target.c_str(), W_OK) != 0);
#endif
    if (readOnly) {
        return Fail(error, "the file is read-only");
    }
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device rd;
    const fs::path tmp =
        dir / ("." + target.filename().string() + ".tmp" + std::to_string(rd() % 1000000));
    auto discard = [&] {
        std::error_code ignored;
        fs::remove(tmp, ignored);
    };
#ifdef VELTRIO_POSIX_FILES
    const mode_t mode =
        exists ? static_cast<mode_t>(existing.permissions() & fs::perms::mask) : mode_t{0666};
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        return Fail(error, "no file can be made in its folder (" + ErrnoText(errno) + ")");
    }
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            ::close(fd);
            discard();
            return Fail(error, ErrnoText(err));
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        discard();
        return Fail(error, ErrnoText(err));
    }
    if (::close(fd) != 0) {
        const int err = errno;
        discard();
        return Fail(error, ErrnoText(err));
    }
    // The umask narrowed the mode given to open; the file keeps what it had.
    if (exists) {
        ::chmod(tmp.c_str(), mode);
    }
#else
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            return Fail(error, "no file can be made in its folder");
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        out.close();
        if (!out) {
            discard();
            return Fail(error, "the file cannot be written");
        }
    }
#endif
    fs::rename(tmp, target, ec);
    if (ec) {
        discard();
        return Fail(error, "it cannot be replaced: " + ec.message());
    }
    return true;
}

bool WriteFileAtomically(const fs::path& path, std::string_view bytes, std::string* error) {
    // Every refusal names the file and its cause in one sentence.
    std::string cause;
    if (WriteReplacing(path, bytes, &cause)) {
        return true;
    }
    return Fail(error, "Cannot write the file " + path.string() + ": " + cause + ".");
}

} // namespace veltrio
