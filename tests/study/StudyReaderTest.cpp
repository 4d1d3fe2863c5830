#include "StudyFixture.h"

#include <fstream>

using namespace veltrio;
using veltrio::testing::StudyFixture;

namespace {

const std::string kHeader = R"(FILEHEADER
  UNIFORM
  NLABS = 3
  NREPLICATES = 2
  NOOFLEVELS = 1
  SUBSTANCE = "Lead"
  UNIT = "mg/kg"
  TESTID = "PT 7"
END
)";

const std::string kLevel = R"(LEVELHEADER
  LEVELID = "Soil"
  NOMINAL = 12.5
END
LEVELDATA
  01 L01 12.1 12.3 M1
  02 L02 1,25 -99 M2
  U03 L03 <0.5 13.0 -99
END
)";

} // namespace

class StudyReader : public StudyFixture {};

TEST_F(StudyReader, ReadsAUniformStudy) {
    ASSERT_EQ(Read(kHeader + kLevel), 0);
    EXPECT_TRUE(program.StudyLoaded);
    EXPECT_TRUE(host.Messages.empty());
    const DataType& s = study();
    EXPECT_EQ(s.Design, dkUniformLevel);
    EXPECT_EQ(s.NoOfLabs, 3);
    EXPECT_EQ(s.NoOfReplicates, 2);
    EXPECT_EQ(s.Substance, "Lead");
    EXPECT_EQ(s.Unit, "mg/kg");
    EXPECT_EQ(s.TestId, "PT 7");
    const TLevel& l = s.Level(1);
    EXPECT_EQ(l.LevelName, "Soil");
    EXPECT_EQ(l.NominalValue, 12.5);
    EXPECT_EQ(l.NominalDecimals, 1);
    EXPECT_EQ(l.GetRandCode(2), "L02");
    EXPECT_EQ(l.GetRegLabNo(2), "02");
    // "1,25" is 1.25 with two decimals; -99 is missing.
    EXPECT_EQ(l.GetResult(2, 1).Value, 1.25);
    EXPECT_EQ(l.GetResult(2, 1).Decimals, 2);
    EXPECT_EQ(l.GetResult(2, 2).Value, MissingValue);
    // A leading U marks the laboratory; the rest of the token is its number.
    EXPECT_EQ(l.GetMark(3), 'U');
    EXPECT_EQ(l.GetRegLabNo(3), "03");
    EXPECT_EQ(l.GetResult(3, 1).Flag, '<');
    EXPECT_EQ(l.GetResult(3, 1).Value, 0.5);
    EXPECT_EQ(l.GetResult(3, 1).Decimals, 1);
    EXPECT_EQ(l.GetMethodCode(1), "M1");
    EXPECT_EQ(l.GetMethodCode(3), "");
    // Decimals of usable values: 1, 1, 2 (13.0 of the excluded lab counts
    // too: the mark does not matter, only the value and its flag).
    EXPECT_EQ(l.MaxDecimals, 2);
    EXPECT_EQ(l.Decimals, 1);
    EXPECT_FALSE(l.AllLabsIncomplete);
    EXPECT_EQ(stats().NoOfValidLabs[0], 2);
    EXPECT_EQ(stats().N(1, 3), 0);
    EXPECT_EQ(host.Panel[3], "TEST.PAR");
    EXPECT_GE(host.StateChanges, 1);
    EXPECT_EQ(host.ProgressStarted, host.ProgressEnded);
    EXPECT_EQ(host.ProgressSteps, 3 + 3); // lines read, then cells computed
}

TEST_F(StudyReader, LexicalVariantsAreAccepted) {
    const std::string text =
        "fileheader\n\tuniform\nnlabs=2 nreplicates 1\nNoOfLevelsXYZ = 1\n"
        "SUBSTANCE: \"Zinc\"; UNIT=\"%\" TESTID =\"T\"\nEND\n"
        "LEVELHEADER ASSIGNED = 3 LEVELID = \"X\" END LEVELDATA\n"
        "01\nA1\n  2.50 -99X\n02 B2 < 1 m-3\nEND\n";
    ASSERT_EQ(Read(text), 0) << (host.Messages.empty() ? "" : host.Messages.front());
    const TLevel& l = study().Level(1);
    EXPECT_EQ(l.NominalValue, 3.0);
    EXPECT_EQ(l.GetRandCode(1), "A1");
    EXPECT_EQ(l.GetResult(1, 1).Value, 2.5);
    EXPECT_EQ(l.GetMethodCode(1), ""); // "-99X": three characters are compared
    EXPECT_EQ(l.GetResult(2, 1).Flag, '<');
    EXPECT_EQ(l.GetResult(2, 1).Value, 1.0);
    EXPECT_EQ(l.GetMethodCode(2), "m-3"); // kept as written
    EXPECT_TRUE(l.AllLabsIncomplete == false);
}

TEST_F(StudyReader, SplitLevelWithSpiking) {
    const std::string text = R"(FILEHEADER SPLITLEVEL NLABS = 3 NREPLICATES = 2 NOOFLEVELS = 1
SUBSTANCE = "Nitrate" UNIT = "mg/l" TESTID = "Split"
END
LEVELHEADER
  SPIKED = "B"
  LEVELID = "A", "B"
  SPIKING = 2.0
END
LEVELDATA
  1 x1 10.0 12.5 -99
  2 æb 9.0 -99 -99
  3 x3 11.0 <1.0 -99
END
)";
    ASSERT_EQ(Read(text), 0) << (host.Messages.empty() ? "" : host.Messages.front());
    const TLevel& l = study().Level(1);
    EXPECT_EQ(l.SampleId(1), "A");
    EXPECT_EQ(l.SampleId(2), "B");
    EXPECT_EQ(l.LevelName, "AB");
    EXPECT_EQ(l.SpikedSample, 2);
    EXPECT_EQ(l.Spiking, 2.0);
    EXPECT_EQ(l.SpikingDecimals, 1);
    EXPECT_EQ(l.GetRandCode(2), "ÆB");
    EXPECT_DOUBLE_EQ(l.GetResult(1, 2).Value, 10.5); // spike removed
    EXPECT_EQ(l.GetResult(1, 1).Value, 10.0);
    EXPECT_EQ(l.GetResult(2, 2).Value, MissingValue);
    EXPECT_EQ(l.GetResult(3, 2).Value, 1.0); // '<' results keep their value
    EXPECT_TRUE(l.AllLabsIncomplete == false);
    EXPECT_EQ(stats().NoOfValidLabs[0], 1);
}

TEST_F(StudyReader, MissingLevelSectionsStayEmpty) {
    std::string text = kHeader;
    text.replace(text.find("NOOFLEVELS = 1"), 14, "NOOFLEVELS = 2");
    ASSERT_EQ(Read(text + kLevel + "\n\n"), 0);
    EXPECT_EQ(study().NoOfLevels, 2);
    EXPECT_EQ(study().Level(2).GetResult(1, 1).Value, MissingValue);
    EXPECT_EQ(study().Level(2).LevelName, "");
    EXPECT_TRUE(study().Level(2).AllLabsIncomplete);
    EXPECT_EQ(study().Level(2).Decimals, 2);
}

TEST_F(StudyReader, ExcludeMarksInEveryLevelAndIgnoresUnknownCodes) {
    std::string text = kHeader;
    text.replace(text.find("NOOFLEVELS = 1"), 14, "NOOFLEVELS = 2\n  EXCLUDE l01, XX9 L02");
    ASSERT_EQ(Read(text + kLevel + kLevel), 0);
    EXPECT_EQ(program.ExcludedCodes.Count(), 3);
    EXPECT_EQ(program.ExcludedCodes.Code(1), "L01");
    for (int lv : {1, 2}) {
        EXPECT_EQ(study().Level(lv).GetMark(1), 'U');
        EXPECT_EQ(study().Level(lv).GetMark(2), 'U');
    }
    EXPECT_EQ(stats().NoOfValidLabs[0], 0);
    EXPECT_EQ(FindLabByCode(program, "L02"), 2);
    EXPECT_EQ(FindLabByCode(program, "XX9"), -99);
}

TEST_F(StudyReader, TransformationIsParsedAndConfirmed) {
    std::string text = kHeader;
    text.replace(text.find("END\n"), 4, "TRANSFORM = \"Square Root\"\nEND\n");
    int applied = 0;
    program.ApplyTransformation = [&](Program&, int index) { applied = index; };
    program.Settings.ConfirmTrans = true;
    host.Answer = false;
    ASSERT_EQ(Read(text + kLevel), 0);
    EXPECT_EQ(study().FileTransformation, 3);
    ASSERT_EQ(host.Questions.size(), 1u);
    EXPECT_EQ(host.Questions[0],
              "Datafile contains a transformation. Shall the transformation be executed?");
    EXPECT_EQ(applied, 0);
    program.Settings.ConfirmTrans = false;
    ASSERT_EQ(Read(text + kLevel), 0);
    EXPECT_EQ(applied, 3);
    EXPECT_EQ(host.Questions.size(), 1u);
}

struct ErrorCase {
    const char* Name;
    std::string Text;
    int Error;
    std::string Message; // "" when none is shown
};

class StudyReaderErrors : public StudyFixture, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(StudyReaderErrors, RefusesWithTheMessageAndLeavesNoStudy) {
    const ErrorCase& c = GetParam();
    EXPECT_EQ(Read(c.Text), c.Error);
    EXPECT_FALSE(program.StudyLoaded);
    EXPECT_EQ(program.CurrentStudy, nullptr);
    EXPECT_EQ(program.Stats, nullptr);
    if (c.Message.empty()) {
        EXPECT_TRUE(host.Messages.empty());
    } else {
        ASSERT_EQ(host.Messages.size(), 1u);
        EXPECT_EQ(host.Messages[0], c.Message);
    }
}

namespace {

std::string Replace(std::string text, const std::string& what, const std::string& with) {
    const auto at = text.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    return text.replace(at, what.size(), with);
}

const std::string kFile = kHeader + kLevel;

// The built English texts of the reader's messages.
const std::string kBadNumber = "Data file: a number cannot be read in line";
const std::string kKeyword = "Data file: unknown keyword, unknown transformation or END missing in line";

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Cases, StudyReaderErrors,
    ::testing::Values(
        ErrorCase{"NoFileHeader", "HEADER\n" + kFile, 8, ""},
        ErrorCase{"EmptyFile", "", 8, ""},
        ErrorCase{"BadInteger", Replace(kFile, "NLABS = 3", "NLABS = x3"), 1, kBadNumber + " 3"},
        ErrorCase{"BadReal", Replace(kFile, "12.1 12.3", "12.1 1.2.3"), 1, kBadNumber + " 15"},
        ErrorCase{"LetterForNumber", Replace(kFile, "NLABS = 3", "NLABS = -"), 1, kBadNumber + " 3"},
        ErrorCase{"NoLevelHeader", Replace(kFile, "LEVELHEADER", "LEVEL"), 2,
                  "Data file: LEVELHEADER expected in line 10"},
        ErrorCase{"UnknownHeaderKeyword", Replace(kFile, "UNIFORM", "UNIFORM\n  COLOUR"), 3,
                  kKeyword + " 3"},
        ErrorCase{"FiveLetterKeywordMustBeExact", Replace(kFile, "NLABS = 3", "NLABSX = 3"), 3,
                  kKeyword + " 3"},
        ErrorCase{"UnknownTransformation",
                  Replace(kFile, "UNIFORM", "UNIFORM TRANSFORM = \"cube\""), 3, kKeyword + " 2"},
        ErrorCase{"NoEndAfterData", Replace(kFile, "-99\nEND", "-99\nFIN"), 3, kKeyword + " 18"},
        ErrorCase{"NoLevelData", Replace(kFile, "LEVELDATA", "DATA"), 4,
                  "Data file: LEVELDATA expected after the level header in line 14"},
        ErrorCase{"TooFewLabLines", kHeader + "LEVELHEADER LEVELID = \"A\" END LEVELDATA\n01 L01 1 2 M\n", 7,
                  "Data file: the file ends before all laboratory lines of the level; line 11"},
        ErrorCase{"UnquotedText", Replace(kFile, "\"Lead\"", "Lead"), 9,
                  "Data file: a text in double quotes was expected in line 6"},
        ErrorCase{"UnclosedQuote", Replace(kFile, "\"Lead\"", "\"Lead"), 9,
                  "Data file: a text in double quotes was expected in line 6"},
        ErrorCase{"NoDesign", Replace(kFile, "UNIFORM", ""), 10,
                  "Data file: the design is missing (SPLITLEVEL or UNIFORM)."},
        ErrorCase{"NoLabs", Replace(kFile, "NLABS = 3", ""), 11,
                  "Data file: the number of laboratories (NLABS) is missing."},
        ErrorCase{"NoReplicates", Replace(kFile, "NREPLICATES = 2", ""), 12,
                  "Data file: the number of replicates (NREPLICATES) is missing."},
        ErrorCase{"NoLevels", Replace(kFile, "NOOFLEVELS = 1", ""), 13,
                  "Data file: the number of levels (NOOFLEVELS) is missing or not positive."},
        ErrorCase{"ZeroLevels", Replace(kFile, "NOOFLEVELS = 1", "NOOFLEVELS = 0"), 13,
                  "Data file: the number of levels (NOOFLEVELS) is missing or not positive."},
        ErrorCase{"NoSubstance", Replace(kFile, "SUBSTANCE = \"Lead\"", ""), 14,
                  "Data file: the substance (SUBSTANCE) is missing."},
        ErrorCase{"NoUnit", Replace(kFile, "UNIT = \"mg/kg\"", ""), 15,
                  "Data file: the unit (UNIT) is missing."},
        // TESTID is checked before UNIT.
        ErrorCase{"NoTestIdNorUnit",
                  Replace(Replace(kFile, "UNIT = \"mg/kg\"", ""), "TESTID = \"PT 7\"", ""), 18,
                  "Data file: the test identification (TESTID) is missing."},
        ErrorCase{"NoLevelId", Replace(kFile, "LEVELID = \"Soil\"", ""), 16,
                  "Data file: a level header has no level identification (LEVELID)."},
        ErrorCase{"NoLevelIdReplacesOtherErrors",
                  Replace(kFile, "LEVELID = \"Soil\"", "COLOUR = 1"), 16,
                  "Data file: a level header has no level identification (LEVELID)."},
        ErrorCase{"FiveReplicates", Replace(kFile, "NREPLICATES = 2", "NREPLICATES = 5"), 17,
                  "Data file: NREPLICATES must be at least 1 and at most 4"},
        ErrorCase{"ZeroReplicates", Replace(kFile, "NREPLICATES = 2", "NREPLICATES = 0"), 17,
                  "Data file: NREPLICATES must be at least 1 and at most 4"},
        ErrorCase{"EndOfFileInHeader", "FILEHEADER\n UNIFORM NLABS = ", 19,
                  "Data file: the file ends unexpectedly."},
        ErrorCase{"SpikedNamesNoSample",
                  Replace(Replace(kFile, "UNIFORM", "SPLITLEVEL"), "LEVELID = \"Soil\"",
                          "LEVELID = \"A\" \"B\" SPIKED = \"C\""),
                  20, "Data file: SPIKED names no sample of the level (see LEVELID)."},
        ErrorCase{"FortySixLabs", Replace(kFile, "NLABS = 3", "NLABS = 46"), 21,
                  "Data file: more than 45 laboratories (NLABS); the program holds at most 45."},
        // NLABS above 45 wins over other header errors.
        ErrorCase{"FortySixLabsAndNoUnit",
                  Replace(Replace(kFile, "NLABS = 3", "NLABS = 46"), "UNIT = \"mg/kg\"", ""), 21,
                  "Data file: more than 45 laboratories (NLABS); the program holds at most 45."},
        ErrorCase{"NegativeLabs", Replace(kFile, "NLABS = 3", "NLABS = -3"), 22,
                  "Data file: the number of laboratories (NLABS) must be at least 1."},
        ErrorCase{"FourLevels", Replace(kFile, "NOOFLEVELS = 1", "NOOFLEVELS = 4"), 23,
                  "Data file: more than 3 levels (NOOFLEVELS); the program holds at most 3."},
        ErrorCase{"HugeLevels", Replace(kFile, "NOOFLEVELS = 1", "NOOFLEVELS = 2147483647"), 23,
                  "Data file: more than 3 levels (NOOFLEVELS); the program holds at most 3."},
        ErrorCase{"IntegerOverflow", Replace(kFile, "NLABS = 3", "NLABS = 99999999999"), 1,
                  kBadNumber + " 3"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return info.param.Name; });

TEST_F(StudyReader, FailedReadDestroysThePreviousStudy) {
    ASSERT_EQ(Read(kFile), 0);
    program.ExcludedLabs.Include(2);
    EXPECT_NE(Read("FILEHEADER UNIFORM END"), 0);
    EXPECT_FALSE(program.StudyLoaded);
    EXPECT_EQ(program.CurrentStudy, nullptr);
    EXPECT_FALSE(program.ExcludedLabs.Contains(2));
}

TEST_F(StudyReader, HeaderOnly) {
    const auto dir = std::filesystem::temp_directory_path();
    const auto good = dir / "veltrio_header_ok.PAR";
    std::ofstream(good) << kFile;
    ASSERT_EQ(Read(kFile), 0);
    const THeaderInfo info = ReadHeaderOnly(program, good, 3, 2);
    EXPECT_FALSE(program.StudyLoaded); // the loaded study is destroyed first
    EXPECT_EQ(info.NoOfLabs, 3);
    EXPECT_EQ(info.NoOfLevels, 1);
    EXPECT_EQ(info.NoOfReplicates, 2);
    EXPECT_EQ(info.TestId, "PT ");
    EXPECT_EQ(info.Substance, "Le");

    const auto bad = dir / "veltrio_header_bad.PAR";
    std::ofstream(bad) << Replace(kFile, "NREPLICATES = 2", "");
    const THeaderInfo refused = ReadHeaderOnly(program, bad);
    EXPECT_EQ(refused.NoOfLabs, -99);
    EXPECT_EQ(refused.NoOfLevels, -99);
    EXPECT_EQ(refused.NoOfReplicates, -99);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0], "Data file: the number of replicates (NREPLICATES) is missing.");
}

TEST_F(StudyReader, EncodingsAtTheFileBoundary) {
    // Code page 850: 0x91 is æ, 0x86 is å.
    std::string oem = Replace(kFile, "\"Lead\"", "\"Bl\x91 og \x86\"");
    oem = Replace(oem, "01 L01", "01 \x91\x86x");
    ASSERT_EQ(Read(oem), 0);
    EXPECT_EQ(study().Substance, "Blæ og å");
    EXPECT_EQ(study().Level(1).GetRandCode(1), "ÆÅX");
    EXPECT_FALSE(program.CurrentFileIsUtf8);
    // The same file in UTF-8 is taken as it is.
    std::string utf8 = Replace(kFile, "\"Lead\"", "\"Blæ og å\"");
    ASSERT_EQ(Read(utf8), 0);
    EXPECT_EQ(study().Substance, "Blæ og å");
    EXPECT_TRUE(program.CurrentFileIsUtf8);
    // A byte-order mark and CR LF line ends are accepted.
    std::string crlf = "\xEF\xBB\xBF";
    for (char c : kFile) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    ASSERT_EQ(Read(crlf), 0);
}

TEST_F(StudyReader, LongLinesAreCut) {
    // A line is cut to 255 characters: the closing quote beyond is lost.
    const std::string longText(300, 'x');
    EXPECT_EQ(Read(Replace(kFile, "\"Lead\"", "\"" + longText + "\"")), 9);
    std::string ok = Replace(kFile, "\"Lead\"", "\"" + std::string(230, 'y') + "\"");
    ASSERT_EQ(Read(ok), 0);
    EXPECT_EQ(study().Substance.size(), 230u);
}

TEST_F(StudyReader, NominalValueChecks) {
    std::string two = Replace(kHeader, "NOOFLEVELS = 1", "NOOFLEVELS = 3");
    const std::string level2 = Replace(kLevel, "NOMINAL = 12.5", "");
    const std::string level3 = Replace(kLevel, "NOMINAL = 12.5", "ASSIGNED = 12.50");
    ASSERT_EQ(Read(two + kLevel + level2 + level3), 0);
    EXPECT_FALSE(CheckNominalValues(program, "Regression analysis"));
    ASSERT_EQ(host.Dialogs.size(), 1u);
    EXPECT_EQ(host.Dialogs[0].Caption, "Regression analysis");
    EXPECT_EQ(host.Dialogs[0].HelpContext, 400);
    EXPECT_EQ(host.Dialogs[0].Text, NominalNotOkText);
    // 12.5 and 12.50 are the same value; the level without one is skipped.
    EXPECT_FALSE(CheckTwoNominalValues(program, "Determination of weight function"));
    ASSERT_EQ(host.Dialogs.size(), 2u);
    EXPECT_EQ(host.Dialogs[1].HelpContext, 1200);
    EXPECT_EQ(host.Dialogs[1].Caption, "Determination of weight function");

    const std::string level3b = Replace(kLevel, "NOMINAL = 12.5", "NOMINAL = 20");
    ASSERT_EQ(Read(two + kLevel + kLevel + level3b), 0);
    EXPECT_TRUE(CheckNominalValues(program, "x"));
    EXPECT_TRUE(CheckTwoNominalValues(program, "x"));
    EXPECT_EQ(host.Dialogs.size(), 2u);
}
