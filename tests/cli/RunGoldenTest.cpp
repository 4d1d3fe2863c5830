// Every example study through `veltrio-cli run`, the whole evaluation: the
// files it writes and the plain text of every document against their
// reviewed golden copies; and in every output language, no English text
// left where the language file has a translation.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "base/AtomicFile.h"
#include "textlib/TextLibrary.h"
#include "textlib/Languages.h"

namespace fs = std::filesystem;

namespace {

int RunCliCommand(const std::string& args, const fs::path& errFile) {
    const std::string cmd = std::string(VELTRIO_CLI) + " " + args + " > /dev/null 2>" +
                            errFile.string();
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadText(const fs::path& p) {
    std::string s;
    veltrio::ReadWholeFile(p, s);
    return s;
}

fs::path TestDir(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / "veltrio_run_golden" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::vector<fs::path> FilesOf(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir)) {
        files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

void ExpectGolden(const std::string& actual, const fs::path& golden) {
    if (std::getenv("VELTRIO_UPDATE_GOLDEN")) {
        fs::create_directories(golden.parent_path());
        veltrio::WriteFileAtomically(golden, actual);
    }
    ASSERT_TRUE(fs::exists(golden)) << "missing golden file " << golden;
    const std::string expected = ReadText(golden);
    if (actual != expected) {
        const fs::path got = fs::temp_directory_path() / "veltrio_run_golden" / golden.filename();
        veltrio::WriteFileAtomically(got, actual);
        ADD_FAILURE() << "diff -u " << golden << " " << got;
    }
}

class RunGolden : public ::testing::TestWithParam<const char*> {};

TEST_P(RunGolden, TheWholeEvaluationReadsAsReviewed) {
    const std::string name = GetParam();
    const fs::path out = TestDir(name);
    const fs::path study = fs::path(VELTRIO_SOURCE_DIR) / "examples" / (name + ".PAR");
    ASSERT_EQ(RunCliCommand("run " + study.string() + " --format txt,svg --out " + (out / "run").string(),
                  out / "err.txt"),
              0)
        << ReadText(out / "err.txt");
    std::string files, text;
    for (const fs::path& f : FilesOf(out / "run")) {
        files += f.filename().string() + "\n";
        if (f.extension() == ".txt") {
            text += "==== " + f.filename().string() + "\n" + ReadText(f);
        }
    }
    const fs::path golden = fs::path(VELTRIO_TEST_DATA) / "examples" / "run";
    ExpectGolden(files, golden / (name + ".files"));
    ExpectGolden(text, golden / (name + ".txt"));
}

INSTANTIATE_TEST_SUITE_P(Examples, RunGolden,
                         ::testing::Values("GLUCOSE", "LEAD", "NITRATE", "PESTICIDE"));

// The texts of a language that differ from the English ones and are long
// enough to be recognised in a document.
std::vector<std::string> EnglishTextsTranslatedIn(int language) {
    veltrio::TTextLibrary english, other;
    const fs::path bin(VELTRIO_BIN_DIR);
    EXPECT_TRUE(english.OpenTextLibrary(bin / veltrio::LanguageFileName(0)));
    EXPECT_TRUE(other.OpenTextLibrary(bin / veltrio::LanguageFileName(language)));
    std::vector<std::string> texts;
    for (int ch = 0; ch < english.ChapterCount(); ++ch) {
        for (int item = 1; item < 200; ++item) {
            std::string en, tr;
            if (!english.LibText(ch, item, en) || !other.LibText(ch, item, tr)) {
                break;
            }
            std::string trimmed = en;
            trimmed.erase(0, trimmed.find_first_not_of(' '));
            trimmed.erase(trimmed.find_last_not_of(' ') + 1);
            if (trimmed.size() >= 14 && en != tr && tr.find(trimmed) == std::string::npos) {
                texts.push_back(trimmed);
            }
        }
    }
    return texts;
}

class RunLanguages : public ::testing::TestWithParam<int> {};

TEST_P(RunLanguages, DocumentsAndChartsCarryNoEnglishTextThatHasATranslation) {
    const int language = GetParam();
    const std::string base = veltrio::LanguageBaseName(language);
    const fs::path out = TestDir(base);
    const auto english = EnglishTextsTranslatedIn(language);
    ASSERT_GT(english.size(), 100u);
    for (const char* name : {"LEAD", "NITRATE"}) {
        const fs::path study = fs::path(VELTRIO_SOURCE_DIR) / "examples" / (std::string(name) + ".PAR");
        const fs::path dir = out / name;
        ASSERT_EQ(RunCliCommand("run " + study.string() + " --language " + std::to_string(language) +
                          " --format txt,svg --out " + dir.string(),
                      out / "err.txt"),
                  0)
            << ReadText(out / "err.txt");
        for (const fs::path& f : FilesOf(dir)) {
            if (f.filename() == "index.html") {
                continue; // the run's own list of files, named by the program's menus
            }
            const std::string content = ReadText(f);
            for (const std::string& en : english) {
                EXPECT_EQ(content.find(en), std::string::npos)
                    << base << ": " << f.filename() << " still holds \"" << en << "\"";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Translations, RunLanguages, ::testing::Values(1, 2, 3, 4, 5),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return veltrio::LanguageBaseName(info.param);
                         });

} // namespace
