#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "StudyFixture.h"
#include "base/AtomicFile.h"
#include "documents/Contents.h"
#include "documents/DocumentExport.h"
#include "documents/testing/FakeCanvas.h"
#include "study/ReportFraming.h"
#include "support/GoldenDocument.h"

namespace veltrio::testing {

// The example studies: the public data sets and the split-level pairs made
// from the glucose replicates.
inline std::filesystem::path ExampleStudy(const std::string& name) {
    if (name == "GLUC_PAIRS") {
        return std::filesystem::path(VELTRIO_TEST_DATA) / "quality" / "GLUC_PAIRS.PAR";
    }
    if (name == "SPIKE") {
        return std::filesystem::path(VELTRIO_TEST_DATA) / "preliminary" / "SPIKE.PAR";
    }
    if (name == "SPLIT") {
        return std::filesystem::path(VELTRIO_TEST_DATA) / "study" / "SPLIT.PAR";
    }
    return std::filesystem::path(VELTRIO_TEST_DATA) / "validation" / (name + ".PAR");
}

// A CSV file of the reference data as rows of named fields.
inline std::vector<std::map<std::string, std::string>> ReadCsv(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::map<std::string, std::string>> rows;
    std::string line;
    std::vector<std::string> names;
    auto split = [](const std::string& s) {
        std::vector<std::string> out;
        std::stringstream ss(s);
        std::string f;
        while (std::getline(ss, f, ',')) {
            out.push_back(f);
        }
        if (!s.empty() && s.back() == ',') {
            out.emplace_back();
        }
        return out;
    };
    if (std::getline(in, line)) {
        names = split(line);
    }
    while (std::getline(in, line)) {
        const auto fields = split(line);
        std::map<std::string, std::string> row;
        for (std::size_t i = 0; i < names.size() && i < fields.size(); ++i) {
            row[names[i]] = fields[i];
        }
        rows.push_back(row);
    }
    return rows;
}

inline double CsvNumber(const std::string& s) {
    return s == "NA" ? std::nan("") : std::stod(s);
}

// The text of a study file: per level, per laboratory its results (-99 for
// a missing one). Laboratory i is coded "L0i"; `prefix` may mark a line
// with U.
using LabRows = std::vector<std::vector<double>>;
inline std::string StudyText(bool split, int replicates, const std::vector<LabRows>& levels) {
    std::ostringstream out;
    out << "FILEHEADER\n  " << (split ? "SPLITLEVEL" : "UNIFORM")
        << "\n  NLABS = " << levels.front().size() << "\n  NREPLICATES = " << replicates
        << "\n  NOOFLEVELS = " << levels.size()
        << "\n  SUBSTANCE = \"Test\"\n  UNIT = \"mg\"\n  TESTID = \"T\"\nEND\n";
    for (std::size_t lv = 0; lv < levels.size(); ++lv) {
        out << "LEVELHEADER\n";
        if (split) {
            out << "  LEVELID = \"S" << lv << "a\" \"S" << lv << "b\"\n";
        } else {
            out << "  LEVELID = \"" << char('A' + lv) << "\"\n";
        }
        out << "END\nLEVELDATA\n";
        for (std::size_t lab = 0; lab < levels[lv].size(); ++lab) {
            char code[8];
            std::snprintf(code, sizeof code, "%02d", static_cast<int>(lab + 1));
            out << "  " << code << " L" << code;
            for (double v : levels[lv][lab]) {
                out << ' ' << v;
            }
            out << " M1\n";
        }
        out << "END\n";
    }
    return out.str();
}

class PreliminaryFixture : public StudyFixture {
protected:
    void LoadText(bool split, int replicates, const std::vector<LabRows>& levels) {
        ASSERT_EQ(Read(StudyText(split, replicates, levels)), 0) << host.Messages.size();
        ASSERT_TRUE(program.StudyLoaded);
    }
    std::string Marks(int level) const {
        std::string m;
        for (int lab = 1; lab <= study().NoOfLabs; ++lab) {
            m += study().Level(level).GetMark(lab);
        }
        return m;
    }

    void Load(const std::string& name) {
        ASSERT_EQ(ReadStudyFile(program, ExampleStudy(name)), 0) << name;
        ASSERT_TRUE(program.StudyLoaded) << name;
        // Nothing volatile in the framing of golden documents.
        program.CurrentFile = name + ".PAR";
        program.FixedDate = "2026-01-01";
    }

    // The document as plain text, RTF and HTML against the golden files
    // tests/data/<area>/<base>.{txt,rtf,html}; VELTRIO_UPDATE_GOLDEN=1
    // rewrites them. A missing golden file fails.
    void ExpectGolden(TTavContents& doc, const std::string& area, const std::string& base) {
        ExpectGoldenDocument(doc, std::filesystem::path(VELTRIO_TEST_DATA) / area, base);
    }
};

// Relative agreement, for figures that an independent calculation gives.
inline ::testing::AssertionResult Near(double actual, double expected, double rel) {
    const double tol = rel * std::max(1.0, std::fabs(expected));
    if (std::fabs(actual - expected) <= tol) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << actual << " differs from " << expected << " by more than " << tol;
}

} // namespace veltrio::testing
