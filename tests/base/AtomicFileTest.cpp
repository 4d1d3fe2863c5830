#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/AtomicFile.h"
#include "settings/FileSizeLimit.h"

#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace veltrio;

namespace {

fs::path FreshDir(const std::string& name) {
    const fs::path d = fs::temp_directory_path() / ("veltrio_atomic_" + name);
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

} // namespace

TEST(AtomicFile, ReplacesTheFileAndLeavesNoTemporary) {
    const fs::path dir = FreshDir("replace");
    const fs::path file = dir / "STUDY.PAR";
    std::ofstream(file) << "old contents";
    ASSERT_TRUE(WriteFileAtomically(file, "new"));
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(file, bytes));
    EXPECT_EQ(bytes, "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(AtomicFile, FailureKeepsTheOriginal) {
    const fs::path dir = FreshDir("fail");
    // The target is a non-empty folder: the rename cannot replace it.
    const fs::path target = dir / "busy";
    fs::create_directories(target / "inside");
    std::string why;
    EXPECT_FALSE(WriteFileAtomically(target, "data", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(fs::is_directory(target / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    EXPECT_FALSE(WriteFileAtomically(dir / "missing" / "x.txt", "data", &why));
    std::string bytes;
    EXPECT_FALSE(ReadWholeFile(dir / "nothing-here", bytes));
}

namespace {

std::string Contents(const fs::path& file) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(file, bytes)) << file;
    return bytes;
}

} // namespace

TEST(AtomicFile, ALinkIsFollowedAndKept) {
    const fs::path dir = FreshDir("link");
    fs::create_directories(dir / "real");
    const fs::path target = dir / "real" / "STUDY.PAR";
    std::ofstream(target) << "old";
    const fs::path link = dir / "LINK.PAR";
    fs::create_symlink(fs::path("real") / "STUDY.PAR", link);
    ASSERT_TRUE(WriteFileAtomically(link, "new"));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link))) << "the link was replaced by a copy";
    EXPECT_EQ(Contents(target), "new");
    EXPECT_EQ(Contents(link), "new");
    // The temporary file was made beside the target, and is gone.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 1);
}

TEST(AtomicFile, PermissionsStayAndReadOnlyFilesAreRefused) {
    const fs::path dir = FreshDir("perms");
    const fs::path file = dir / "STUDY.PAR";
    std::ofstream(file) << "old";
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(WriteFileAtomically(file, "new"));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::mask,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
    std::string why;
    EXPECT_FALSE(WriteFileAtomically(file, "newer", &why));
    EXPECT_EQ(why, "Cannot write the file " + file.string() + ": the file is read-only.");
    fs::permissions(file, fs::perms::owner_all);
    EXPECT_EQ(Contents(file), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(AtomicFile, AWriteCutShortIsAnErrorAndKeepsTheOriginal) {
    const fs::path dir = FreshDir("fsize");
    const fs::path file = dir / "DOC.PDF";
    std::ofstream(file) << "a good file";
    std::string why;
    bool written = true;
    {
        veltrio::testing::FileSizeLimit limit(100);
        written = WriteFileAtomically(file, std::string(5000, 'x'), &why);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(why, "Cannot write the file " + file.string() +
                       ": the file would exceed the file-size limit.");
    EXPECT_EQ(Contents(file), "a good file");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(ReadWholeFile, RefusesWhatIsNoRegularFileWithoutReadingIt) {
    const fs::path dir = FreshDir("special");
    const fs::path fifo = dir / "PIPE.PAR";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        fs::path Path;
        std::string Why;
    } cases[] = {
        {dir, "it is a folder, not a file"},
        {fifo, "it is not a regular file"}, // opening it would wait for a writer
        {"/dev/zero", "it is not a regular file"}, // reading it would never end
        {"/dev/urandom", "it is not a regular file"},
        {dir / "missing.PAR", "it does not exist"},
    };
    for (const auto& c : cases) {
        std::string bytes = "left over";
        std::string why;
        EXPECT_FALSE(ReadWholeFile(c.Path, bytes, &why)) << c.Path;
        EXPECT_EQ(why, c.Why) << c.Path;
        EXPECT_TRUE(bytes.empty()) << c.Path;
    }
}

TEST(ReadWholeFile, RefusesAFileLargerThanTheLimit) {
    const fs::path dir = FreshDir("large");
    const fs::path file = dir / "BIG.PAR";
    std::ofstream(file) << std::string(3 * 1024 * 1024, 'x');
    std::string bytes;
    std::string why;
    EXPECT_FALSE(ReadWholeFile(file, bytes, &why, 2 * 1024 * 1024));
    EXPECT_EQ(why, "it is larger than 2 MB, far more than any file of the program");
    EXPECT_TRUE(ReadWholeFile(file, bytes, &why));
    EXPECT_EQ(bytes.size(), 3u * 1024 * 1024);
}
