// veltrio-cli fast-feedback: the forms of a round in every document format,
// the table file, a refused round and wrong usage.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

#include "base/AtomicFile.h"

namespace fs = std::filesystem;

namespace {

const fs::path kData = fs::path(VELTRIO_TEST_DATA) / "tools";

struct Outcome {
    int Status = -1;
    std::string Err;
};

Outcome FastFeedback(const std::string& args, const fs::path& dir) {
    const fs::path err = dir / "err.txt";
    const std::string cmd =
        std::string(VELTRIO_CLI) + " fast-feedback " + args + " >/dev/null 2>" + err.string();
    const int status = std::system(cmd.c_str());
    Outcome o;
    o.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    veltrio::ReadWholeFile(err, o.Err);
    return o;
}

fs::path Dir(const char* name) {
    const fs::path dir = fs::temp_directory_path() / "veltrio_cli_ff_test" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string Round(std::initializer_list<const char*> names) {
    std::string s;
    for (const char* n : names) {
        s += (kData / n).string() + " ";
    }
    return s;
}

std::string Text(const fs::path& p) {
    std::string s;
    veltrio::ReadWholeFile(p, s);
    return s;
}

TEST(FastFeedbackCli, WritesTheFormsInEveryFormatAndTheTableFile) {
    const fs::path dir = Dir("formats");
    const Outcome o = FastFeedback(Round({"ROUND_1.PAR", "ROUND_2.PAR", "ROUND_3.PAR"}) + "--out " +
                                       (dir / "out").string(),
                                   dir);
    ASSERT_EQ(o.Status, 0) << o.Err;
    for (const char* ext : {"html", "rtf", "pdf", "txt"}) {
        EXPECT_GT(fs::file_size(dir / "out" / (std::string("fast-feedback.") + ext)), 100u) << ext;
    }
    EXPECT_EQ(Text(dir / "out" / "fast-feedback.pdf").rfind("%PDF", 0), 0u);
    // The plain text is the reviewed golden document but for the date.
    std::string golden = Text(kData / "feedback_round_resistant.txt");
    const std::string tab = Text(dir / "out" / "fast-feedback.tab");
    ASSERT_FALSE(tab.empty());
    const auto head = [](const std::string& s) { return s.substr(s.find("Laboratory L01")); };
    EXPECT_EQ(head(tab), head(golden));
}

struct UsageCase {
    const char* Args;
    int Status;
    const char* Says;
};

TEST(FastFeedbackCli, RefusedRoundsAndWrongUsage) {
    const fs::path dir = Dir("usage");
    const std::string out = " --out " + (dir / "out").string();
    const UsageCase cases[] = {
        {"ROUND_1.PAR DIFFER_NLABS.PAR", 1, "The chosen files vary"},
        {"ROUND_1.PAR MISSING_CODE.PAR", 1, "Laboratory L07"},
        {"ROUND_1.PAR NO_SUCH_FILE.PAR", 1, "cannot find"},
        {"ROUND_1.PAR --residuals median", 2, "--residuals takes"},
        {"ROUND_1.PAR --labs 3", 2, "--labs takes"},
        {"ROUND_1.PAR --labs 0-2", 2, "--labs takes"},
        {"ROUND_1.PAR --no-tab --tab x.tab", 2, "exclude each other"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Args);
        std::string args;
        std::string a = c.Args;
        for (std::size_t pos = 0; pos < a.size();) {
            const std::size_t end = std::min(a.find(' ', pos), a.size());
            const std::string word = a.substr(pos, end - pos);
            args += (word.ends_with(".PAR") ? (kData / word).string() : word) + " ";
            pos = end + 1;
        }
        const Outcome o = FastFeedback(args + out, dir);
        EXPECT_EQ(o.Status, c.Status);
        EXPECT_NE(o.Err.find(c.Says), std::string::npos) << o.Err;
        EXPECT_FALSE(fs::exists(dir / "out" / "fast-feedback.txt"));
    }
    // Without --out.
    EXPECT_EQ(FastFeedback(Round({"ROUND_1.PAR"}), dir).Status, 2);
}

TEST(FastFeedbackCli, RangeResidualsAndTableFileOptions) {
    const fs::path dir = Dir("options");
    const Outcome o = FastFeedback(
        Round({"ROUND_1.PAR", "ROUND_2_PERMUTED.PAR"}) + "--residuals gaussian --labs 2-3 --tab " +
            (dir / "forms.tab").string() + " --out " + (dir / "out").string(),
        dir);
    ASSERT_EQ(o.Status, 0) << o.Err;
    const std::string tab = Text(dir / "forms.tab");
    EXPECT_NE(tab.find("Laboratory L02"), std::string::npos);
    EXPECT_NE(tab.find("Laboratory L03"), std::string::npos);
    EXPECT_EQ(tab.find("Laboratory L01"), std::string::npos);
    EXPECT_EQ(tab.find("Laboratory L04"), std::string::npos);
    EXPECT_NE(tab.find("Gaussian residual"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "out" / "fast-feedback.tab"));
    const Outcome none =
        FastFeedback(Round({"ROUND_1.PAR"}) + "--no-tab --out " + (dir / "none").string(), dir);
    ASSERT_EQ(none.Status, 0) << none.Err;
    EXPECT_TRUE(fs::exists(dir / "none" / "fast-feedback.txt"));
    EXPECT_FALSE(fs::exists(dir / "none" / "fast-feedback.tab"));
}

} // namespace
