#pragma once

#include "base/Error.h"

#include <filesystem>
#include <string>

namespace veltrio {

class Canvas;
class HtmlExport;
class TTavContents;

// The exported page could not be written.
class EExportError : public EVeltrioError {
public:
    using EVeltrioError::EVeltrioError;
};

// Tables write the cell sizes of their screen layout. A document that has
// not been shown yet is laid out here first: the items are walked as on the
// screen (font changes applied) and every table lays itself out on the
// canvas. The canvas font is the document's DefaultFont afterwards.
void LayOutForExport(TTavContents& document, Canvas& canvas);

// A complete RTF file: header, font table and colour table (in the order of
// the export's lists, so that the items' "\f" and "\cf" indexes match), the
// document's DefaultFont as the base font, every item's lines, closing
// brace. The document's cursor is not moved.
std::string WriteDocumentRtf(TTavContents& document);

struct THtmlOptions {
    // Symbols as HTML names ("&plusmn") instead of characters.
    bool SymbolNames = false;
    // Table cells carry HEIGHT and WIDTH.
    bool CellSizes = true;
};

// The complete HTML page of the document into `out`, whose HtmlFileName
// names the page: a UTF-8 page with every item in order and an open font
// element closed at the end. Picture cells write their GIF files beside the
// page as they go.
void WriteDocumentHtml(TTavContents& document, HtmlExport& out);

// The page written to `path` through a temporary file in the same folder,
// GIF files beside it named after it and referred to by name. An error of
// the GIF writer ends the export: the page up to and including the image
// element of the failing picture is written, and the error propagates.
// EExportError when the page cannot be written.
void WriteDocumentHtml(TTavContents& document, const std::filesystem::path& path,
                       const THtmlOptions& options = {});

} // namespace veltrio
