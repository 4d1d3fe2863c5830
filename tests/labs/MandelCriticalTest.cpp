// Critical values of Mandel's h and k: every cell of the ISO tables as
// printed (tests/data/labs/iso5725_2_mandel_tables.txt), the values beyond
// the tables as recomputed in R (scripts/labs/mandel_reference.R, output in
// tests/data/labs/mandel_extrapolated.csv), and the inputs without a value.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "PreliminaryFixture.h"
#include "base/TextUtil.h"
#include "labs/MandelCritical.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

using SL = TSignificanceLevel;

// The tables of the file by name, as rows of cells (the head and rule rows
// left out).
std::map<std::string, std::vector<std::vector<std::string>>> PrintedTables() {
    std::ifstream in(std::filesystem::path(VELTRIO_TEST_DATA) / "labs" /
                     "iso5725_2_mandel_tables.txt");
    std::map<std::string, std::vector<std::vector<std::string>>> tables;
    std::string line, name;
    while (std::getline(in, line)) {
        if (line.rfind("table ", 0) == 0) {
            name = line.substr(6);
        } else if (line.rfind("| ", 0) == 0 && line.rfind("| p ", 0) != 0) {
            std::vector<std::string> cells;
            std::stringstream ss(line.substr(1));
            std::string cell;
            while (std::getline(ss, cell, '|')) {
                cells.push_back(Trim(cell));
            }
            tables[name].push_back(cells);
        }
    }
    return tables;
}

TEST(MandelCritical, EveryCellOfTheHTable) {
    const auto tables = PrintedTables();
    ASSERT_EQ(tables.count("h"), 1u);
    int cells = 0;
    for (const auto& row : tables.at("h")) {
        ASSERT_EQ(row.size(), 6u);
        for (int half = 0; half < 2; ++half) {
            const int p = std::stoi(row[3 * half]);
            EXPECT_EQ(MandelHCritical(p, SL::OnePercent), std::stod(row[3 * half + 1])) << p;
            EXPECT_EQ(MandelHCritical(p, SL::FivePercent), std::stod(row[3 * half + 2])) << p;
            cells += 2;
        }
    }
    EXPECT_EQ(cells, 2 * 28); // p = 3 .. 30
}

TEST(MandelCritical, EveryCellOfTheKTables) {
    const auto tables = PrintedTables();
    const std::pair<const char*, SL> levels[] = {{"k 1 %", SL::OnePercent},
                                                 {"k 5 %", SL::FivePercent}};
    for (const auto& [name, level] : levels) {
        ASSERT_EQ(tables.count(name), 1u) << name;
        const auto& rows = tables.at(name);
        ASSERT_EQ(rows.size(), 28u) << name;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const int p = std::stoi(rows[r][0]);
            EXPECT_EQ(p, static_cast<int>(r) + 3);
            ASSERT_EQ(rows[r].size(), 9u);
            for (int n = 2; n <= 9; ++n) {
                EXPECT_EQ(MandelKCritical(p, n, level),
                          std::stod(rows[r][static_cast<std::size_t>(n - 1)]))
                    << name << " p " << p << " n " << n;
            }
        }
    }
}

// Beyond the tables: h and k for p = 31 .. 60, k with n = 10 for every p,
// to the hundredth that the R script gives.
TEST(MandelCritical, ExtrapolatedAsRecomputedInR) {
    const auto rows =
        ReadCsv(std::filesystem::path(VELTRIO_TEST_DATA) / "labs" / "mandel_extrapolated.csv");
    ASSERT_GT(rows.size(), 600u);
    for (const auto& r : rows) {
        const int p = std::stoi(r.at("p"));
        const SL level = r.at("level") == "1" ? SL::OnePercent : SL::FivePercent;
        const double expected = std::stod(r.at("value"));
        const double actual = r.at("statistic") == "h"
                                  ? MandelHCritical(p, level)
                                  : MandelKCritical(p, std::stoi(r.at("n")), level);
        EXPECT_NEAR(actual, expected, 1e-9)
            << r.at("statistic") << " p " << p << " n " << r.at("n") << " level " << r.at("level");
    }
}

TEST(MandelCritical, ThirtyOneLaboratoriesFallBelowThirty) {
    // The fitted rise from p = 3 meets the table's end below it at 1 %.
    EXPECT_EQ(MandelHCritical(31, SL::OnePercent), 2.41);
    EXPECT_EQ(MandelHCritical(31, SL::FivePercent), 1.89);
    EXPECT_LT(MandelHCritical(31, SL::OnePercent), MandelHCritical(30, SL::OnePercent));
    // n = 10 is never read from the table: at p = 3 it is k(3, 10) itself.
    EXPECT_EQ(MandelKCritical(3, 10, SL::OnePercent), 1.39);
    EXPECT_EQ(MandelKCritical(3, 10, SL::FivePercent), 1.29);
}

TEST(MandelCritical, NoValueWithoutATest) {
    for (const SL level : {SL::OnePercent, SL::FivePercent}) {
        for (int p : {-5, 0, 1, 2}) {
            EXPECT_EQ(MandelHCritical(p, level), MissingValue) << p;
            EXPECT_EQ(MandelKCritical(p, 3, level), MissingValue) << p;
        }
        for (int n : {-1, 0, 1, 11, 100}) {
            EXPECT_EQ(MandelKCritical(10, n, level), MissingValue) << n;
            EXPECT_EQ(MandelKCritical(40, n, level), MissingValue) << n;
        }
        // Far beyond the tables the values level off, they do not run away.
        EXPECT_LT(MandelHCritical(100000, level), 2.42);
        EXPECT_GT(MandelHCritical(100000, level), 1.88);
    }
}

TEST(MandelCritical, CeilHundredths) {
    struct Case {
        double x, expected;
    } cases[] = {{2.40708, 2.41}, {1.885974, 1.89}, {2.0, 2.0},
                 {2.001, 2.01},   {-1.234, -1.23},  {0.0, 0.0}};
    for (const auto& c : cases) {
        EXPECT_NEAR(CeilHundredths(c.x), c.expected, 1e-12) << c.x;
    }
}

} // namespace
