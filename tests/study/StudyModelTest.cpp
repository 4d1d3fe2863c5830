#include <gtest/gtest.h>

#include <cmath>

#include "study/Study.h"
#include "study/StudyTypes.h"

using namespace veltrio;

TEST(DoubleArray, QuantilesOfSmallSamples) {
    struct Case {
        std::vector<double> Sorted;
        TDoubleArray::TQuantiles Expected;
    } cases[] = {
        {{1, 2, 3, 4}, {1, 1, 1.5, 2.5, 3.5, 4, 4}},
        {{1, 2, 3, 4, 5}, {1, 1, 2, 3, 4, 5, 5}},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20},
         // 5 % point a[2], 95 % point a[20], quartiles (a5+a6)/2 and (a15+a16)/2
         {1, 2, 5.5, 10.5, 15.5, 20, 20}},
        {{2, 7}, {2, 2, 2, 4.5, 7, 7, 7}},
    };
    for (const auto& c : cases) {
        TDoubleArray a(static_cast<int>(c.Sorted.size()) + 3);
        for (std::size_t i = 0; i < c.Sorted.size(); ++i) {
            a.SetValue(static_cast<int>(i + 1), c.Sorted[i]);
        }
        const auto q = a.Quantiles(static_cast<int>(c.Sorted.size()));
        EXPECT_EQ(q.Minimum, c.Expected.Minimum);
        EXPECT_EQ(q.P5, c.Expected.P5);
        EXPECT_EQ(q.Q1, c.Expected.Q1);
        EXPECT_EQ(q.Median, c.Expected.Median);
        EXPECT_EQ(q.Q3, c.Expected.Q3);
        EXPECT_EQ(q.P95, c.Expected.P95);
        EXPECT_EQ(q.Maximum, c.Expected.Maximum);
    }
    TDoubleArray one(1);
    one.SetValue(1, 5.0);
    EXPECT_EQ(one.Quantiles(1).Median, MissingValue);
    EXPECT_EQ(one.Quantiles(1).Minimum, MissingValue);
}

TEST(DoubleArray, SortsThePrefixOnlyAndStartsMissing) {
    TDoubleArray a(5);
    EXPECT_EQ(a.GetValue(5), MissingValue);
    const double values[] = {3, -1, 2, 9, 0};
    for (int i = 1; i <= 5; ++i) {
        a.SetValue(i, values[i - 1]);
    }
    a.Sort(4);
    EXPECT_EQ(a.GetValue(1), -1);
    EXPECT_EQ(a.GetValue(2), 2);
    EXPECT_EQ(a.GetValue(3), 3);
    EXPECT_EQ(a.GetValue(4), 9);
    EXPECT_EQ(a.GetValue(5), 0);
    EXPECT_THROW(a.GetValue(6), std::out_of_range);
    EXPECT_THROW(a.SetValue(0, 1.0), std::out_of_range);
}

TEST(LabSet, HoldsIndicesOneTo800) {
    TLabSet s;
    for (int lab : {1, 8, 9, 45, 799, 800}) {
        s.Include(lab);
    }
    for (int lab : {1, 8, 9, 45, 799, 800}) {
        EXPECT_TRUE(s.Contains(lab)) << lab;
    }
    for (int lab : {2, 7, 10, 44, 798}) {
        EXPECT_FALSE(s.Contains(lab)) << lab;
    }
    s.Include(801);
    s.Include(0);
    s.Include(-5);
    EXPECT_FALSE(s.Contains(801));
    EXPECT_FALSE(s.Contains(0));
    s.Clear();
    EXPECT_FALSE(s.Contains(800));
}

TEST(ExcludedRandCodes, CutsCodesAndIgnoresThe46th) {
    TExcludedRandCodes codes;
    codes.Add("LAB123");
    EXPECT_EQ(codes.Code(1), "LAB1");
    for (int i = 2; i <= 46; ++i) {
        codes.Add("X" + std::to_string(i));
    }
    EXPECT_EQ(codes.Count(), 45);
    EXPECT_EQ(codes.Code(45), "X45");
    codes.Clear();
    EXPECT_EQ(codes.Count(), 0);
}

TEST(Marks, DisplayTextsAndInclusion) {
    struct Case {
        char Mark;
        const char* Text;
        bool Included;
    } cases[] = {
        {' ', " ", true},   {'U', "U", false},   {'L', "UL", false}, {'c', "C*", true},
        {'C', "C**", false}, {'g', "G*", true}, {'G', "G**", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MarkTextOf(c.Mark), c.Text) << c.Mark;
        EXPECT_EQ(IsIncludedMark(c.Mark), c.Included) << c.Mark;
    }
}

namespace {

// Sets one laboratory's replicates; -99 is missing, a negative decimals
// count marks a '<' result.
void SetLab(TLevel& level, int lab, std::initializer_list<double> values, char flag = ' ') {
    int r = 1;
    for (double v : values) {
        level.SetResult(lab, r++, flag, v, 1);
    }
}

} // namespace

TEST(Level, ValidityByDesign) {
    DataType split(dkSplitLevel, 1, "t", "u", "s", 2, 4);
    TLevel& s = split.Level(1);
    SetLab(s, 1, {1.0, 2.0});
    SetLab(s, 2, {1.0, MissingValue});
    SetLab(s, 3, {1.0, 2.0});
    s.SetResult(3, 2, '<', 2.0, 1);
    SetLab(s, 4, {1.0, 2.0});
    s.SetMark(4, 'G');
    EXPECT_TRUE(s.LabValid(1));
    EXPECT_FALSE(s.LabValid(2)); // one of the pair missing
    EXPECT_FALSE(s.LabValid(3)); // a '<' result never counts
    EXPECT_FALSE(s.LabValid(4)); // an excluding mark
    EXPECT_TRUE(s.FirstResultValid(2));
    EXPECT_FALSE(s.FirstResultValid(4));
    EXPECT_EQ(s.NoOfValidLabs(), 1);

    DataType uniform(dkUniformLevel, 1, "t", "u", "s", 3, 3);
    TLevel& u = uniform.Level(1);
    SetLab(u, 1, {MissingValue, MissingValue, 4.0});
    SetLab(u, 2, {MissingValue, MissingValue, MissingValue});
    SetLab(u, 3, {1.0, 2.0, 3.0});
    u.SetMark(3, 'c');
    EXPECT_TRUE(u.LabValid(1)); // one usable replicate is enough
    EXPECT_FALSE(u.FirstResultValid(1));
    EXPECT_FALSE(u.LabValid(2));
    EXPECT_TRUE(u.LabValid(3)); // a straggler still counts
    EXPECT_EQ(u.NoOfValidLabs(), 2);
}

TEST(Level, LabSDIncludesLessThanValues) {
    DataType study(dkUniformLevel, 1, "t", "u", "s", 3, 2);
    TLevel& level = study.Level(1);
    SetLab(level, 1, {10.0, 12.0, MissingValue});
    EXPECT_DOUBLE_EQ(level.LabSD(1), std::sqrt(2.0));
    level.SetResult(1, 3, '<', 14.0, 1);
    EXPECT_DOUBLE_EQ(level.LabSD(1), 2.0);
    SetLab(level, 2, {5.0, MissingValue, MissingValue});
    EXPECT_EQ(level.LabSD(2), 0.0);
}

TEST(Level, CodesAreCutToFourCharacters) {
    DataType study(dkUniformLevel, 2, "t", "u", "s", 1, 2);
    TLevel& level = study.Level(2);
    level.SetRandCode(1, "ÆBCDE");
    level.SetMethodCode(1, "meth-x");
    level.SetRegLabNo(2, "12");
    EXPECT_EQ(level.GetRandCode(1), "ÆBCD");
    EXPECT_EQ(level.GetMethodCode(1), "meth");
    EXPECT_EQ(level.GetRegLabNo(2), "12");
    EXPECT_EQ(level.GetMark(2), ' ');
    EXPECT_EQ(level.GetResult(2, 1).Value, MissingValue);
    EXPECT_THROW(level.GetMark(3), std::out_of_range);
    EXPECT_THROW(level.GetResult(1, 2), std::out_of_range);
}

TEST(Study, CountsOutlierMarksOverAllLevels) {
    DataType study(dkUniformLevel, 3, "t", "u", "s", 2, 3);
    study.Level(1).SetMark(1, 'C');
    study.Level(3).SetMark(2, 'C');
    study.Level(2).SetMark(3, 'G');
    study.Level(2).SetMark(1, 'c');
    EXPECT_EQ(study.NoOfCochranOutliers(), 2);
    EXPECT_EQ(study.NoOfGrubbsOutliers(), 1);
    EXPECT_THROW(DataType(dkUniformLevel, 4, "t", "u", "s", 2, 3), std::invalid_argument);
}
