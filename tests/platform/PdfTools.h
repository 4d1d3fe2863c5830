#pragma once

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

namespace veltrio::testing {

// A word of a PDF page with its box in points from the top-left corner, as
// poppler's pdftotext reports it.
struct PdfWord {
    std::string Text;
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
};

// The words of the first page; an empty list when the tool fails (the
// failure is recorded as a test failure).
std::vector<PdfWord> PdfWords(const std::filesystem::path& pdf);
// The first page rendered by poppler's pdftoppm at the given resolution.
QImage RenderPdfPage(const std::filesystem::path& pdf, int pixelsPerInch);
// The MediaBox of the first page in points (width, height); (0, 0) when
// there is none.
std::pair<double, double> PdfPageSize(const std::filesystem::path& pdf);

constexpr double PointsPerCm = 72 / 2.54;

// The GUI application object that fonts and painting need (no display).
inline void EnsureGuiApplication() {
    static int argc = 1;
    static char name[] = "platform_tests";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) {
        new QGuiApplication(argc, argv);
    }
}

// Tests that draw with Qt into files: a GUI application object and a folder
// of the test's own below `area`, since ctest runs the tests side by side.
class QtFileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureGuiApplication(); }
    explicit QtFileTest(const std::string& area)
        : dir(std::filesystem::temp_directory_path() / area /
              ::testing::UnitTest::GetInstance()->current_test_info()->name()) {}
    void SetUp() override {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::filesystem::path dir;
};

} // namespace veltrio::testing
