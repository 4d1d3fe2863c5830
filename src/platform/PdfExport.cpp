#include "platform/PdfExport.h"

#include <QPdfWriter>
#include <filesystem>
#include <system_error>

#include "documents/Contents.h"
#include "documents/TavPrinter.h"
#include "platform/PaintDeviceReport.h"
#include "platform/QtConvert.h"

namespace veltrio::platform {

bool PrintDocumentToPdf(TTavContents& document, const std::filesystem::path& path,
                        std::string* error) {
    namespace fs = std::filesystem;
    const fs::path tmp = path.parent_path() / ("." + path.filename().string() + ".tmp");
    {
        QPdfWriter writer(ToQString(tmp.string()));
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("Veltrio"));
        writer.setTitle(ToQString(document.PrintTitle));
        PaintDeviceReport report(writer);
        TTavPrinter printer;
        printer.Document = &document;
        printer.Generate(report);
    }
    std::error_code ec;
    if (!fs::exists(tmp, ec) || fs::file_size(tmp, ec) == 0) {
        if (error) {
            *error = "cannot write " + path.string();
        }
        fs::remove(tmp, ec);
        return false;
    }
    fs::rename(tmp, path, ec);
    if (ec) {
        if (error) {
            *error = "cannot replace " + path.string() + ": " + ec.message();
        }
        fs::remove(tmp, ec);
        return false;
    }
    return true;
}

} // namespace veltrio::platform
