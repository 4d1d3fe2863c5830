#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/AtomicFile.h"

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
