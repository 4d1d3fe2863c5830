#pragma once

#include "base/Missing.h"
#include "documents/BrowseObject.h"
#include "documents/Graphics.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace veltrio {

class TTavBaseTable;
class TTavFormat;
class TTavFormatText;
class TTavText;

enum class TPageNumberPosition { pnpTopRight, pnpBottomRight };
enum class TPageNumberFormat { pnfSideNr, pnfSideNrAfAntal, pnfNr, pnfNrAfAntal };

// A document: the ordered items of one result, with the page layout it is
// printed with. The document owns its items. A cursor, shared by everyone
// who walks the document (browser window, printer), stands on one item.
class TTavContents {
public:
    TTavContents();
    ~TTavContents();
    TTavContents(const TTavContents&) = delete;
    TTavContents& operator=(const TTavContents&) = delete;

    TFont DefaultFont;
    TFont PageHeaderFont;
    TFont PageFooterFont;
    TFont PageNumberFont;
    std::vector<std::string> PageHeader;
    std::vector<std::string> PageFooter;
    bool PageNumbers = false;
    TPageNumberPosition PageNumberPosition = TPageNumberPosition::pnpTopRight;
    int FirstPageNumber = 1;
    TPageNumberFormat PageNumberFormat = TPageNumberFormat::pnfSideNrAfAntal;
    std::string PageNrText1 = "Side";
    std::string PageNrText2 = "af";
    std::string PrintTitle = "TAV Print job";
    std::optional<TPicture> BackGround;
    bool BackGroundStretch = false;
    bool BackGroundCenter = false;
    // The value of the first SetMarginLeft; applied again at the top of
    // every printed page. MissingValue while not set.
    double InitialMarginLeft = MissingValue;
    // 0 the printer's orientation, 1 portrait, 2 landscape.
    std::uint8_t PrintOrientation = 0;

    // Each appends at the end and leaves the cursor on the new item.
    TTavText& AddText(std::string text);
    TTavFormatText& AddFormatText(std::string text);
    void AddTable(std::unique_ptr<TTavBaseTable> table);
    void BlockBegin();
    void BlockEnd();
    void SetFont(const TFont& font);
    void PageBreak();
    void SetMarginLeft(double cm);
    // Any item kind; charts are appended through this.
    TTavBrowseObject& AddItem(std::unique_ptr<TTavBrowseObject> item);

    // Cursor movement; nullptr at the ends (the cursor then stays put).
    TTavBrowseObject* First();
    TTavBrowseObject* Last();
    TTavBrowseObject* Next();
    TTavBrowseObject* Prior();
    TTavBrowseObject* Current() const;
    // −1 for an empty document.
    int CursorIndex() const { return m_cursor; }
    void SetCursorIndex(int index);

    std::size_t Count() const { return m_items.size(); }
    bool Empty() const { return m_items.empty(); }
    TTavBrowseObject& Item(std::size_t index) const { return *m_items.at(index); }

    // The document as plain text: text lines and tables (cells separated by
    // TAB characters); formatted lines, charts and format items add nothing.
    std::vector<std::string> AsStrings() const;
    // The same for a reader: tables keep their first title line (substance
    // and unit) and their first footnote, which AsStrings leaves out. The
    // clipboard and saved text files use it; tab files keep AsStrings.
    std::vector<std::string> PlainText() const;

private:
    std::vector<std::unique_ptr<TTavBrowseObject>> m_items;
    int m_cursor = -1;
};

} // namespace veltrio
