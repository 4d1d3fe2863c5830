#include "StudyFixture.h"

#include "base/AtomicFile.h"
#include "settings/FileSizeLimit.h"
#include "study/PreliminaryStats.h"
#include "study/Transformations.h"

using namespace veltrio;
using veltrio::testing::FileSizeLimit;
using veltrio::testing::ScratchFolder;
using veltrio::testing::StudyFixture;

namespace {

struct RewriteCase {
    const char* Name;
    int Index;
    std::string Before;
    std::string After;
};

class TransformLine : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(TransformLine, IsWrittenIntoTheHeader) {
    EXPECT_EQ(TransformedFileText(GetParam().Before, GetParam().Index), GetParam().After);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TransformLine,
    ::testing::Values(
        RewriteCase{"BeforeTheEnd", 1,
                    "FILEHEADER\n  UNIFORM\n  UNIT = \"mg/l\"\nEND\nLEVELHEADER\n  LEVELID = "
                    "\"A\"\nEND\n",
                    "FILEHEADER\n  UNIFORM\n  UNIT = \"mg/l\"\n  TRANSFORM = \"LN\"\nEND\n"
                    "LEVELHEADER\n  LEVELID = \"A\"\nEND\n"},
        RewriteCase{"NoneIsWrittenToo", 0, "FILEHEADER\n  UNIFORM\nEND\n",
                    "FILEHEADER\n  UNIFORM\n  TRANSFORM = \"NONE\"\nEND\n"},
        RewriteCase{"EarlierOneGoes", 3, "FILEHEADER\n  TRANSFORM = \"ln\"\n  UNIFORM\nEND\n",
                    "FILEHEADER\n  UNIFORM\n  TRANSFORM = \"SQUARE ROOT\"\nEND\n"},
        RewriteCase{"ShortKeywordGoesToo", 2, "FILEHEADER\n  Transf: \"inverse\"\nEND\n",
                    "FILEHEADER\n  TRANSFORM = \"LOG10\"\nEND\n"},
        // "Legend" holds END: the line comes before it, indented like the
        // deepest line so far.
        RewriteCase{"EndInsideAText", 2,
                    "FILEHEADER\n UNIFORM\n  SUBSTANCE = \"Legend\"\n    UNIT = \"l\"\nEND\n",
                    "FILEHEADER\n UNIFORM\n  TRANSFORM = \"LOG10\"\n  SUBSTANCE = \"Legend\"\n"
                    "    UNIT = \"l\"\nEND\n"},
        // ... and an earlier TRANSFORM below it, which the reader would take
        // last, goes all the same.
        RewriteCase{
            "EarlierOneAfterEarlyEnd", 4,
            "FILEHEADER\n  SUBSTANCE = \"Legend\"\n  TRANSFORM = \"ln\"\nEND\nLEVELHEADER\n",
            "FILEHEADER\n  TRANSFORM = \"INVERSE\"\n  SUBSTANCE = \"Legend\"\nEND\n"
            "LEVELHEADER\n"},
        RewriteCase{"DeepestIndentation", 1, "FILEHEADER\n  A\n        \n\tB\n    END\n",
                    "FILEHEADER\n  A\n        \n\tB\n    TRANSFORM = \"LN\"\n    END\n"},
        RewriteCase{"WindowsLineEnds", 1, "FILEHEADER\r\n UNIFORM\r\nEND\r\nLEVELHEADER\r\n",
                    "FILEHEADER\r\n UNIFORM\r\n TRANSFORM = \"LN\"\r\nEND\r\nLEVELHEADER\r\n"},
        RewriteCase{"LastLineWithoutBreak", 1, "FILEHEADER\n UNIFORM\nEND",
                    "FILEHEADER\n UNIFORM\n TRANSFORM = \"LN\"\nEND"},
        // A text that merely holds the word stays.
        RewriteCase{"WordInsideAText", 1, "FILEHEADER\n  SUBSTANCE = \"Transformer oil\"\nEND\n",
                    "FILEHEADER\n  SUBSTANCE = \"Transformer oil\"\n  TRANSFORM = \"LN\"\nEND\n"},
        // Other keywords on the line of an earlier TRANSFORM stay.
        RewriteCase{"SharedLine", 1,
                    "FILEHEADER\n  UNIFORM TRANSFORM = \"inverse\" NLABS = 3\nEND\n",
                    "FILEHEADER\n  UNIFORM  NLABS = 3\n  TRANSFORM = \"LN\"\nEND\n"},
        RewriteCase{"SharedWithTheEnd", 3, "FILEHEADER\n  UNIFORM\n  TRANSFORM = \"ln\" END\n",
                    "FILEHEADER\n  UNIFORM\n  TRANSFORM = \"SQUARE ROOT\"\n   END\n"},
        RewriteCase{"LevelsUntouched", 1,
                    "FILEHEADER\nEND\nLEVELHEADER\n  LEVELID = \"Transform\"\n  TRANSFORM\nEND\n",
                    "FILEHEADER\nTRANSFORM = \"LN\"\nEND\nLEVELHEADER\n  LEVELID = "
                    "\"Transform\"\n  TRANSFORM\nEND\n"},
        RewriteCase{"NoEndAtAll", 1, "FILEHEADER\n  TRANSFORM = \"ln\"\n  UNIFORM\n",
                    "FILEHEADER\n  UNIFORM\n"},
        // Bytes of code page 850 and of UTF-8 pass as they are.
        RewriteCase{"OtherBytesKept", 1,
                    "FILEHEADER\n  SUBSTANCE = \"Bl\x94y \xC3\xB8\"\nEND\n  01 \xFF\x80\n",
                    "FILEHEADER\n  SUBSTANCE = \"Bl\x94y \xC3\xB8\"\n  TRANSFORM = \"LN\"\nEND\n"
                    "  01 \xFF\x80\n"},
        RewriteCase{"Empty", 1, "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---- The command on a study file ----

const std::string kStudy = "FILEHEADER\r\n"
                           "  SPLITLEVEL\r\n"
                           "  NLABS = 3\r\n"
                           "  NREPLICATES = 2\r\n"
                           "  NOOFLEVELS = 1\r\n"
                           "  SUBSTANCE = \"Nitrate\"\r\n"
                           "  UNIT = \"mg/l\"\r\n"
                           "  TESTID = \"T 1\"\r\n"
                           "END\r\n"
                           "LEVELHEADER\r\n"
                           "  LEVELID = \"A\" \"B\"\r\n"
                           "  NOMINAL = 100\r\n"
                           "END\r\n"
                           "LEVELDATA\r\n"
                           "  01 L01 100 10 M1\r\n"
                           "  02 L02 1000 0.01 M1\r\n"
                           "  03 L03 1 0.1 M2\r\n"
                           "END\r\n";

class TransformationCommand : public StudyFixture {
protected:
    TransformationCommand() : dir("veltrio-transform") { InstallTransformations(program); }

    // Writes `text` as the study file and opens it.
    void Open(const std::string& text) {
        path = dir / "STUDY.PAR";
        ASSERT_TRUE(WriteFileAtomically(path, text));
        ASSERT_EQ(ReadStudyFile(program, path), 0);
    }
    std::string FileText() const {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path, bytes));
        return bytes;
    }
    std::string WithTransform(const std::string& text, const std::string& name) const {
        std::string out = text;
        out.insert(out.find("END\r\n"), "  TRANSFORM = \"" + name + "\"\r\n");
        return out;
    }

    ScratchFolder dir;
    std::filesystem::path path;
};

TEST_F(TransformationCommand, RewritesTheFileAndReadsItAgain) {
    Open(kStudy);
    program.Prelim = std::make_unique<TPreliminaryStats>();
    program.Prelim->DescCalculated = true;
    ASSERT_TRUE(ExecuteTransformation(program, 2));
    EXPECT_EQ(FileText(), WithTransform(kStudy, "LOG10"));
    const DataType& s = study();
    EXPECT_EQ(s.Transformation, 2);
    EXPECT_EQ(s.Unit, "log10 mg/l");
    // log10 of 100, 10, 1000, 0.01, 1 and 0.1 (R: 2, 1, 3, -2, 0, -1).
    const double expected[3][2] = {{2, 1}, {3, -2}, {0, -1}};
    for (int lab = 1; lab <= 3; ++lab) {
        for (int r = 1; r <= 2; ++r) {
            EXPECT_NEAR(s.Level(1).GetResult(lab, r).Value, expected[lab - 1][r - 1], 1e-13);
        }
    }
    EXPECT_NEAR(s.Level(1).NominalValue, 2.0, 1e-13);
    EXPECT_FALSE(program.Prelim->DescCalculated);
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_EQ(TransformationPanelText(s.Transformation), "Transformation: log10");
}

TEST_F(TransformationCommand, ANewChoiceDoesNotStack) {
    Open(kStudy);
    ASSERT_TRUE(ExecuteTransformation(program, 1));
    ASSERT_TRUE(ExecuteTransformation(program, 3));
    EXPECT_EQ(FileText(), WithTransform(kStudy, "SQUARE ROOT"));
    // Square roots of the values as written: sqrt 100 = 10, sqrt 0.01 = 0.1.
    EXPECT_NEAR(study().Level(1).GetResult(1, 1).Value, 10.0, 1e-13);
    EXPECT_NEAR(study().Level(1).GetResult(2, 2).Value, 0.1, 1e-13);
    EXPECT_EQ(study().Unit, "square root mg/l");
    ASSERT_TRUE(ExecuteTransformation(program, 0));
    EXPECT_EQ(FileText(), WithTransform(kStudy, "NONE"));
    EXPECT_EQ(study().Level(1).GetResult(1, 1).Value, 100.0);
    EXPECT_EQ(study().Unit, "mg/l");
    EXPECT_EQ(study().Transformation, 0);
}

TEST_F(TransformationCommand, AsksNoQuestionAndKeepsTheSetting) {
    Open(kStudy);
    program.Settings.ConfirmTrans = true;
    host.Answer = false;
    ASSERT_TRUE(ExecuteTransformation(program, 4));
    EXPECT_TRUE(host.Questions.empty());
    EXPECT_EQ(study().Transformation, 4);
    EXPECT_TRUE(program.Settings.ConfirmTrans);
}

// Values out of reach: the file keeps its new line, the study stays loaded
// untransformed.
TEST_F(TransformationCommand, ValuesThatCannotBeTransformed) {
    std::string text = kStudy;
    text.replace(text.find("1 0.1 M2"), 8, "0 0.1 M2");
    Open(text);
    ASSERT_TRUE(ExecuteTransformation(program, 1));
    EXPECT_EQ(FileText(), WithTransform(text, "LN"));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0], NotTransformableText);
    EXPECT_TRUE(program.StudyLoaded);
    EXPECT_EQ(study().Transformation, 0);
    EXPECT_EQ(study().FileTransformation, 1);
}

TEST_F(TransformationCommand, KeepsTheEncodingOfTheFile) {
    struct Encoding {
        const char* Name;
        std::string Substance; // as bytes in the file
        bool Utf8;
    };
    for (const Encoding& e :
         {Encoding{"cp850", "Bl\x94", false}, Encoding{"utf8", "Bl\xC3\xB6", true}}) {
        std::string text = kStudy;
        text.replace(text.find("Nitrate"), 7, e.Substance);
        Open(text);
        ASSERT_TRUE(ExecuteTransformation(program, 1)) << e.Name;
        EXPECT_EQ(FileText(), WithTransform(text, "LN")) << e.Name;
        EXPECT_EQ(study().Substance, "Bl\xC3\xB6") << e.Name;
        EXPECT_EQ(program.CurrentFileIsUtf8, e.Utf8) << e.Name;
    }
}

TEST_F(TransformationCommand, AFailedWriteLeavesFileAndStudy) {
    Open(kStudy);
    bool done = true;
    {
        FileSizeLimit limit(64);
        done = ExecuteTransformation(program, 1);
    }
    EXPECT_FALSE(done);
    EXPECT_EQ(FileText(), kStudy);
    EXPECT_EQ(dir.FileCount(), 1u) << "no temporary file is left behind";
    ASSERT_EQ(host.Messages.size(), 1u);
    // The message names the file and why it could not be written.
    EXPECT_EQ(host.Messages[0], "Cannot write the file " + path.string() +
                                    ": the file would exceed the file-size limit.");
    ASSERT_TRUE(program.StudyLoaded);
    EXPECT_EQ(study().Transformation, 0);
    EXPECT_EQ(study().Level(1).GetResult(1, 1).Value, 100.0);
}

TEST_F(TransformationCommand, NoFileNoWrite) {
    Open(kStudy);
    std::filesystem::remove(path);
    EXPECT_FALSE(ExecuteTransformation(program, 1));
    EXPECT_FALSE(std::filesystem::exists(path)) << "no file is made where none was";
    EXPECT_TRUE(program.StudyLoaded);

    std::string error;
    EXPECT_FALSE(WriteTransformation(dir / "absent.PAR", 1, &error));
    EXPECT_FALSE(error.empty());
    program.CurrentFile.clear();
    EXPECT_FALSE(ExecuteTransformation(program, 1));
    EXPECT_EQ(host.Messages.size(), 2u);
}

} // namespace

TEST_F(TransformationCommand, AReadOnlyStudyIsNotRewritten) {
    Open(kStudy);
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(ExecuteTransformation(program, 1));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0],
              "Cannot write the file " + path.string() + ": the file is read-only.");
    fs::permissions(path, fs::perms::owner_all);
    EXPECT_EQ(FileText(), kStudy);
    EXPECT_EQ(study().Transformation, 0);
}

TEST_F(TransformationCommand, AStudyOpenedThroughALinkRewritesItsTarget) {
    namespace fs = std::filesystem;
    Open(kStudy);
    const fs::path link = dir / "LINK.PAR";
    fs::create_symlink(path.filename(), link);
    ASSERT_EQ(ReadStudyFile(program, link), 0);
    ASSERT_TRUE(ExecuteTransformation(program, 1));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_EQ(FileText(), WithTransform(kStudy, "LN"));
    EXPECT_EQ(study().Transformation, 1);
}
