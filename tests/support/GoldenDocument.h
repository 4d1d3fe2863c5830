#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/AtomicFile.h"
#include "documents/Contents.h"
#include "documents/DocumentExport.h"
#include "documents/testing/FakeCanvas.h"

namespace veltrio::testing {

// The document as plain text, RTF and HTML against its golden files
// <goldenDir>/<name>.txt, .rtf and .html. The document is laid out on the
// fixed-metric canvas so that cell sizes are repeatable. A missing golden
// file fails; VELTRIO_UPDATE_GOLDEN=1 rewrites them. On a difference the
// actual output is left in a temporary folder for `diff -u`.
inline void ExpectGoldenDocument(TTavContents& doc, const std::filesystem::path& goldenDir,
                                 const std::string& name) {
    std::string text;
    for (const auto& line : doc.AsStrings()) {
        text += line + "\n";
    }
    FakeCanvas canvas;
    LayOutForExport(doc, canvas);
    const std::string rtf = WriteDocumentRtf(doc);
    const auto tmp = std::filesystem::temp_directory_path() / "veltrio_golden" /
                     goldenDir.filename() / name;
    std::filesystem::create_directories(tmp);
    WriteDocumentHtml(doc, tmp / (name + ".html"));
    std::string html;
    ASSERT_TRUE(ReadWholeFile(tmp / (name + ".html"), html));
    const std::pair<std::string, const std::string*> outputs[] = {
        {".txt", &text}, {".rtf", &rtf}, {".html", &html}};
    for (const auto& [ext, actual] : outputs) {
        const auto golden = goldenDir / (name + ext);
        if (std::getenv("VELTRIO_UPDATE_GOLDEN")) {
            WriteFileAtomically(golden, *actual);
        }
        std::string expected;
        ASSERT_TRUE(ReadWholeFile(golden, expected)) << "missing golden file " << golden;
        if (*actual != expected) {
            WriteFileAtomically(tmp / (name + ext), *actual);
        }
        EXPECT_EQ(*actual, expected) << "diff -u " << golden << " " << (tmp / (name + ext));
    }
    // Exporting again gives the same bytes.
    EXPECT_EQ(WriteDocumentRtf(doc), rtf);
}

} // namespace veltrio::testing
