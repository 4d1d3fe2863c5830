#include "StudyFixture.h"

#include <cmath>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "study/PreliminaryStats.h"
#include "study/Transformations.h"

using namespace veltrio;
using veltrio::testing::StudyFixture;

namespace {

// f(x) and the inverse applied to x, from R (scripts/study/transformations_reference.R).
struct Reference {
    std::optional<double> F;
    std::optional<double> Back;
};

std::map<std::pair<int, double>, Reference> LoadReference() {
    std::map<std::pair<int, double>, Reference> table;
    std::ifstream in(std::string(VELTRIO_TEST_DATA) + "/study/transformations_reference.csv");
    std::string line;
    std::getline(in, line); // header
    auto number = [](const std::string& s) -> std::optional<double> {
        if (s == "NA") {
            return std::nullopt;
        }
        return std::stod(s);
    };
    while (std::getline(in, line)) {
        std::stringstream row(line);
        std::string index, x, f, back;
        std::getline(row, index, ',');
        std::getline(row, x, ',');
        std::getline(row, f, ',');
        std::getline(row, back, ',');
        table[{std::stoi(index), std::stod(x)}] = Reference{number(f), number(back)};
    }
    return table;
}

const std::map<std::pair<int, double>, Reference>& ReferenceTable() {
    static const auto table = LoadReference();
    return table;
}

// Relative agreement to 1e-13, or absolute near zero.
void ExpectClose(double actual, double expected, const std::string& what) {
    EXPECT_NEAR(actual, expected, std::max(1e-300, std::fabs(expected) * 1e-13)) << what;
}

} // namespace

TEST(TransformationFunctions, AgreeWithR) {
    const auto& table = ReferenceTable();
    ASSERT_EQ(table.size(), 64u) << "the reference table was not found or is incomplete";
    for (const auto& [key, ref] : table) {
        const auto [index, x] = key;
        const std::string what = "index " + std::to_string(index) + ", x " + std::to_string(x);
        EXPECT_EQ(Transformable(index, x), ref.F.has_value()) << what;
        if (ref.F) {
            ExpectClose(Transform(index, x), *ref.F, what);
            ExpectClose(BackTransform(index, Transform(index, x)), x, what + " and back");
        } else {
            EXPECT_EQ(Transform(index, x), MissingValue) << what;
        }
        if (ref.Back) {
            ExpectClose(BackTransform(index, x), *ref.Back, what + " back");
        } else {
            EXPECT_EQ(BackTransform(index, x), MissingValue) << what << " back";
        }
    }
}

TEST(TransformationFunctions, MissingValueAndIdentity) {
    for (int index = 0; index < NoOfTransformations; ++index) {
        EXPECT_TRUE(Transformable(index, MissingValue)) << index;
        EXPECT_EQ(Transform(index, MissingValue), MissingValue) << index;
        EXPECT_EQ(BackTransform(index, MissingValue), MissingValue) << index;
    }
    // None, and any index outside the table, is the identity on every value.
    for (int index : {0, -1, 5, 99}) {
        for (double x : {-4.0, 0.0, 2.5, 1e300}) {
            EXPECT_TRUE(Transformable(index, x)) << index << " " << x;
            EXPECT_EQ(Transform(index, x), x) << index << " " << x;
            EXPECT_EQ(BackTransform(index, x), x) << index << " " << x;
        }
    }
}

TEST(TransformationFunctions, NonFiniteValuesAreNotTransformable) {
    for (int index = 1; index < NoOfTransformations; ++index) {
        for (double x : {HUGE_VAL, -HUGE_VAL, std::nan("")}) {
            EXPECT_FALSE(Transformable(index, x)) << index << " " << x;
            EXPECT_EQ(Transform(index, x), MissingValue) << index << " " << x;
        }
    }
    // The inverse of a tiny value overflows.
    EXPECT_EQ(Transform(4, 1e-320), MissingValue);
}

struct NamesCase {
    int Index;
    const char* Name;
    const char* Choice;
    int Decimals;
    const char* Panel;
};

class TransformationNames : public ::testing::TestWithParam<NamesCase> {};

TEST_P(TransformationNames, OfTheTable) {
    const NamesCase& c = GetParam();
    EXPECT_EQ(TransformationName(c.Index), c.Name);
    EXPECT_EQ(TransformationChoice(c.Index), c.Choice);
    EXPECT_EQ(TransformedDecimals(c.Index), c.Decimals);
    EXPECT_EQ(TransformationPanelText(c.Index), c.Panel);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TransformationNames,
    ::testing::Values(NamesCase{0, "none", "No transformation", -99, "Transformation: none"},
                      NamesCase{1, "ln", "ln  ", 3, "Transformation: ln"},
                      NamesCase{2, "log10", "log10", 4, "Transformation: log10"},
                      NamesCase{3, "square root", "Square root", 3, "Transformation: square root"},
                      NamesCase{4, "inverse", "Inverse (1/x)", 4, "Transformation: inverse"},
                      NamesCase{7, "none", "No transformation", -99, "Transformation: none"}));

// ---- The loaded study ----

namespace {

// Laboratory 4 is marked U and holds values that no transformation but the
// identity takes everywhere. Level 2 has the assigned value 0.
std::string StudyText(const std::string& transform) {
    return "FILEHEADER\n"
           "  UNIFORM\n"
           "  NLABS = 4\n"
           "  NREPLICATES = 2\n"
           "  NOOFLEVELS = 2\n"
           "  SUBSTANCE = \"Lead\"\n"
           "  UNIT = \"mg/l\"\n"
           "  TESTID = \"PT 9\"\n" +
           transform +
           "END\n"
           "LEVELHEADER\n"
           "  LEVELID = \"Low\"\n"
           "  NOMINAL = 2.00\n"
           "  SPIKING = 1.5\n"
           "END\n"
           "LEVELDATA\n"
           "  01 L01 1.0 2.0 M1\n"
           "  02 L02 10.00 -99 M1\n"
           "  03 L03 <2 3.0 M2\n"
           "  U04 L04 0 3.0 M2\n"
           "END\n"
           "LEVELHEADER\n"
           "  LEVELID = \"High\"\n"
           "  NOMINAL = 0\n"
           "END\n"
           "LEVELDATA\n"
           "  01 L01 100 1000 M1\n"
           "  02 L02 12.5 0.5 M1\n"
           "  03 L03 3 0.001 M2\n"
           "  U04 L04 -4 -0.5 M2\n"
           "END\n";
}

struct RawResult {
    char Flag;
    double Value;
    int Decimals;
};

// The results as the file gives them: [level][lab][replicate].
const RawResult kRaw[2][4][2] = {
    {{{' ', 1.0, 1}, {' ', 2.0, 1}},
     {{' ', 10.0, 2}, {' ', MissingValue, 0}},
     {{'<', 2.0, 0}, {' ', 3.0, 1}},
     {{' ', 0.0, 0}, {' ', 3.0, 1}}},
    {{{' ', 100.0, 0}, {' ', 1000.0, 0}},
     {{' ', 12.5, 1}, {' ', 0.5, 1}},
     {{' ', 3.0, 0}, {' ', 0.001, 3}},
     {{' ', -4.0, 0}, {' ', -0.5, 1}}},
};

struct StudyCase {
    int Index;
    const char* FileName;
    const char* Unit;
    int Decimals;
};

class TransformedStudy : public StudyFixture, public ::testing::WithParamInterface<StudyCase> {
protected:
    TransformedStudy() { InstallTransformations(program); }
};

TEST_P(TransformedStudy, EveryValueThatCanBeTransformed) {
    const StudyCase& c = GetParam();
    ASSERT_EQ(Read(StudyText(std::string("  TRANSFORM = \"") + c.FileName + "\"\n")), 0);
    EXPECT_TRUE(host.Messages.empty());
    const DataType& s = study();
    EXPECT_EQ(s.Transformation, c.Index);
    EXPECT_EQ(s.Unit, c.Unit);
    const auto& table = ReferenceTable();
    for (int lv = 1; lv <= 2; ++lv) {
        const TLevel& level = s.Level(lv);
        for (int lab = 1; lab <= 4; ++lab) {
            for (int r = 1; r <= 2; ++r) {
                const RawResult& raw = kRaw[lv - 1][lab - 1][r - 1];
                const TResult& got = level.GetResult(lab, r);
                const std::string what = "level " + std::to_string(lv) + " lab " +
                                         std::to_string(lab) + " rep " + std::to_string(r);
                EXPECT_EQ(got.Flag, raw.Flag) << what;
                const auto ref = table.find({c.Index, raw.Value});
                if (raw.Value != MissingValue && ref != table.end() && ref->second.F) {
                    ExpectClose(got.Value, *ref->second.F, what);
                    EXPECT_EQ(got.Decimals, c.Decimals) << what;
                } else {
                    // Missing, or in the laboratory marked U and out of reach.
                    EXPECT_EQ(got.Value, raw.Value) << what;
                    EXPECT_EQ(got.Decimals, raw.Decimals) << what;
                }
            }
        }
        EXPECT_EQ(level.Decimals, c.Decimals);
        EXPECT_EQ(level.MaxDecimals, c.Decimals);
        EXPECT_EQ(level.NominalDecimals, c.Decimals);
    }
    ExpectClose(s.Level(1).NominalValue, *table.at({c.Index, 2.0}).F, "assigned value");
    // An assigned value of 0 is transformed only where 0 is in the domain.
    EXPECT_EQ(s.Level(2).NominalValue, 0.0);
    EXPECT_EQ(s.Level(1).Spiking, 1.5);
    // The statistics are those of the new scale.
    ExpectClose(stats().Mean(1, 1), (*table.at({c.Index, 1.0}).F + *table.at({c.Index, 2.0}).F) / 2,
                "cell mean");
}

INSTANTIATE_TEST_SUITE_P(Kinds, TransformedStudy,
                         ::testing::Values(StudyCase{1, "ln", "ln mg/l", 3},
                                           StudyCase{2, "LOG10", "log10 mg/l", 4},
                                           StudyCase{3, "square root", "square root mg/l", 3},
                                           StudyCase{4, "Inverse", "inverse mg/l", 4}));

// A study with one laboratory whose first value is `value`.
std::string OneLabStudy(const std::string& transform, const std::string& value,
                        const std::string& exclude = "") {
    return "FILEHEADER UNIFORM NLABS = 2 NREPLICATES = 1 NOOFLEVELS = 1\n"
           "  SUBSTANCE = \"Zinc\" UNIT = \"ug/l\" TESTID = \"T\"\n" +
           exclude + "  TRANSFORM = \"" + transform +
           "\"\n"
           "END\n"
           "LEVELHEADER LEVELID = \"A\" NOMINAL = 5 END\n"
           "LEVELDATA\n"
           "  01 L01 " +
           value +
           " M1\n"
           "  02 L02 4 M1\n"
           "END\n";
}

struct DomainCase {
    const char* Name;
    const char* Transform;
    const char* Value;
    bool Accepted;
};

class TransformationDomain : public StudyFixture, public ::testing::WithParamInterface<DomainCase> {
protected:
    TransformationDomain() { InstallTransformations(program); }
};

TEST_P(TransformationDomain, AValueOutsideStopsEverything) {
    const DomainCase& c = GetParam();
    ASSERT_EQ(Read(OneLabStudy(c.Transform, c.Value)), 0);
    EXPECT_TRUE(program.StudyLoaded) << "the study stays loaded either way";
    const DataType& s = study();
    if (c.Accepted) {
        EXPECT_TRUE(host.Messages.empty());
        EXPECT_NE(s.Transformation, 0);
        EXPECT_NE(s.Level(1).GetResult(2, 1).Value, 4.0);
        return;
    }
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0], "Some values can not be transformed. Exclude the labs that "
                                "contains invalid values, by marking them with U in the datafile.");
    EXPECT_EQ(s.Transformation, 0);
    EXPECT_EQ(s.Unit, "ug/l");
    EXPECT_EQ(s.Level(1).GetResult(2, 1).Value, 4.0);
    EXPECT_EQ(s.Level(1).NominalValue, 5.0);
    EXPECT_EQ(s.Level(1).NominalDecimals, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, TransformationDomain,
                         ::testing::Values(DomainCase{"LnZero", "ln", "0", false},
                                           DomainCase{"LnNegative", "ln", "-0.5", false},
                                           DomainCase{"LnBelowLimitZero", "ln", "<0", false},
                                           DomainCase{"LnTiny", "ln", "0.000001", true},
                                           DomainCase{"Log10Zero", "log10", "0.0", false},
                                           DomainCase{"Log10Negative", "log10", "-3", false},
                                           DomainCase{"SqrtNegative", "square root", "-0.001",
                                                      false},
                                           DomainCase{"SqrtZero", "square root", "0", true},
                                           DomainCase{"InverseZero", "inverse", "0", false},
                                           DomainCase{"InverseNegative", "inverse", "-4", true},
                                           DomainCase{"MissingAnywhere", "ln", "-99", true}),
                         [](const auto& info) { return std::string(info.param.Name); });

class TransformationApply : public StudyFixture {
protected:
    TransformationApply() { InstallTransformations(program); }
};

// EXCLUDE marks its laboratories once the transformation is done: only a U in
// front of the laboratory's line keeps its values out of the check.
TEST_F(TransformationApply, ExcludeInTheHeaderComesTooLate) {
    ASSERT_EQ(Read(OneLabStudy("ln", "0", "  EXCLUDE = L01\n")), 0);
    EXPECT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(study().Transformation, 0);
    EXPECT_EQ(study().Level(1).GetMark(1), 'U');
}

TEST_F(TransformationApply, ProgressRunsOverTwoPasses) {
    ASSERT_EQ(Read(StudyText("")), 0);
    const int plainSteps = host.ProgressSteps;
    const int plainStarts = host.ProgressStarted;
    host.ProgressSteps = host.ProgressStarted = host.ProgressEnded = 0;
    ASSERT_EQ(Read(StudyText("TRANSFORM = \"ln\"\n")), 0);
    EXPECT_EQ(host.ProgressSteps - plainSteps, 2 * 2 * 4);
    EXPECT_EQ(host.ProgressStarted, plainStarts + 1);
    EXPECT_EQ(host.ProgressEnded, host.ProgressStarted);

    host.ProgressSteps = host.ProgressStarted = host.ProgressEnded = 0;
    program.SilentMode = true;
    ASSERT_EQ(Read(StudyText("TRANSFORM = \"ln\"\n")), 0);
    EXPECT_EQ(study().Transformation, 1);
    EXPECT_EQ(host.ProgressStarted, 0);
    EXPECT_EQ(host.ProgressSteps, 0);
}

TEST_F(TransformationApply, ConfirmTransAsksFirst) {
    program.Settings.ConfirmTrans = true;
    host.Answer = false;
    ASSERT_EQ(Read(StudyText("TRANSFORM = \"ln\"\n")), 0);
    EXPECT_EQ(study().Transformation, 0);
    EXPECT_EQ(study().Level(1).GetResult(1, 2).Value, 2.0);
    host.Answer = true;
    ASSERT_EQ(Read(StudyText("TRANSFORM = \"ln\"\n")), 0);
    EXPECT_EQ(study().Transformation, 1);
    EXPECT_EQ(host.Questions.size(), 2u);
}

TEST_F(TransformationApply, OnALoadedStudyTheFiguresFollow) {
    ASSERT_EQ(Read(StudyText("")), 0);
    program.Prelim = std::make_unique<TPreliminaryStats>();
    program.Prelim->ComputeDescriptive(program);
    ASSERT_TRUE(program.Prelim->DescCalculated);
    EXPECT_EQ(stats().Mean(1, 1), 1.5);
    ASSERT_TRUE(ApplyTransformation(program, 3));
    // sqrt 1 and sqrt 2 (R: 1.4142135623730951).
    ExpectClose(stats().Mean(1, 1), (1.0 + 1.4142135623730951) / 2, "cell mean");
    EXPECT_FALSE(program.Prelim->DescCalculated);
}

TEST_F(TransformationApply, NoneOnlySetsTheIndex) {
    ASSERT_EQ(Read(StudyText("TRANSFORM = \"inverse\"\n")), 0);
    ASSERT_EQ(study().Transformation, 4);
    ASSERT_TRUE(ApplyTransformation(program, 0));
    EXPECT_EQ(study().Transformation, 0);
    EXPECT_EQ(study().Level(1).GetResult(1, 2).Value, 0.5);
    EXPECT_EQ(study().Unit, "inverse mg/l");
}

TEST_F(TransformationApply, RefusesWhatItCannotDo) {
    EXPECT_FALSE(ApplyTransformation(program, 1)) << "no study";
    ASSERT_EQ(Read(StudyText("")), 0);
    for (int index : {-1, 5}) {
        EXPECT_FALSE(ApplyTransformation(program, index));
    }
    EXPECT_EQ(study().Transformation, 0);
    EXPECT_EQ(study().Unit, "mg/l");
    EXPECT_TRUE(host.Messages.empty());
}

} // namespace
