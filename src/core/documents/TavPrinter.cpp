#include "documents/TavPrinter.h"

#include "base/TextUtil.h"
#include "documents/BrowseObject.h"
#include "documents/Contents.h"
#include "documents/Report.h"
#include "documents/Units.h"

namespace veltrio {

int TTavPrinter::PrintQualityFor(int dpi) {
    switch (dpi) {
    case 75:
        return -1;
    case 150:
        return -2;
    case 300:
        return -3;
    case 600:
        return -4;
    default:
        return -3;
    }
}

void TTavPrinter::Generate(Report& report) {
    if (Document == nullptr) {
        return;
    }
    report.SetMarginLeft(PrintMarginLeftCm);
    report.SetMarginRight(PrintMarginRightCm);
    report.SetMarginTop(PrintMarginTopCm);
    report.SetMarginBottom(PrintMarginBottomCm);
    report.SetFont(Font);

    struct Restore {
        Report& report;
        TTavContents& document;
        int cursor;
        Report::Handler before, print, header, footer;
        ~Restore() {
            report.OnBeforePrint = before;
            report.OnPrint = print;
            report.OnPrintHeader = header;
            report.OnPrintFooter = footer;
            document.SetCursorIndex(cursor);
        }
    } restore{report,
              *Document,
              Document->CursorIndex(),
              report.OnBeforePrint,
              report.OnPrint,
              report.OnPrintHeader,
              report.OnPrintFooter};

    report.OnBeforePrint = [this](Report& r) { BeforePrint(r); };
    report.OnPrint = [this](Report& r) { PrintBody(r); };
    report.OnPrintHeader = [this](Report& r) { PrintHeader(r); };
    report.OnPrintFooter = [this](Report& r) { PrintFooter(r); };
    report.Execute();
}

void TTavPrinter::BeforePrint(Report& report) {
    PageCounter = Document->FirstPageNumber - 1;
    PrintedPages = 0;
    report.SetPrintQuality(PrintQualityFor(report.DeviceResolution()));
    if (Document->PrintOrientation == 2) {
        report.SetOrientation(TOrientation::poLandscape);
    } else if (Document->PrintOrientation != 0) {
        report.SetOrientation(TOrientation::poPortrait);
    }
    report.SetTitle(Utf8Left(Document->PrintTitle, 31));
}

void TTavPrinter::PrintBody(Report& report) {
    TTavContents& document = *Document;
    report.PushFont();
    report.SetFont(document.PageFooterFont);
    report.SetFooterHeight(static_cast<double>(document.PageFooter.size()) * report.RowHeight());
    report.PopFont();
    report.SetFont(document.DefaultFont);

    // An item that does not fit on a page of its own is printed on the new
    // page anyway, so that no item can start page after page.
    bool freshPage = false;
    TTavBrowseObject* item = document.First();
    while (item != nullptr) {
        if (freshPage || item->FitsOnPage(report, document)) {
            item->Print(report);
            item = document.Next();
            freshPage = false;
        } else {
            report.StartNewPage();
            report.HomeCursor();
            freshPage = true;
        }
    }
}

void TTavPrinter::PrintHeader(Report& report) {
    const TTavContents& document = *Document;
    report.PushFont();
    report.SetFont(document.PageHeaderFont);

    if (document.BackGround && !document.BackGround->Empty()) {
        const TPicture& picture = *document.BackGround;
        const double width = PixelsToCm(picture.Width);
        const double height = PixelsToCm(picture.Height);
        if (document.BackGroundStretch) {
            report.StretchPicture(report.MarginLeft(), report.MarginTop(),
                                  report.PageWidth() - report.MarginRight(),
                                  report.PageHeight() - report.MarginBottom(), picture);
        } else if (document.BackGroundCenter) {
            const double x = (report.PageWidth() - width) / 2.0;
            const double y = (report.PageHeight() - height) / 2.0;
            report.StretchPicture(x, y, x + width, y + height, picture);
        } else {
            report.StretchPicture(report.MarginLeft(), report.MarginTop(),
                                  report.MarginLeft() + width, report.MarginTop() + height,
                                  picture);
        }
    }

    if (document.InitialMarginLeft != MissingValue) {
        report.SetMarginLeft(document.InitialMarginLeft);
        report.AreaFromMargins();
    }

    const double lineHeight = report.RowHeight();
    report.HomeCursor();
    for (const std::string& line : document.PageHeader) {
        report.SetCursorY(report.CursorY() + lineHeight);
        report.SetCursorX(report.MarginLeft());
        report.PrintAtCursor(line);
    }
    report.GotoXY(report.MarginLeft(), report.MarginTop() + 0.5);

    ++PageCounter;
    ++PrintedPages;

    if (document.PageNumbers) {
        report.SetFont(document.PageNumberFont);
        report.SetCursorY(document.PageNumberPosition == TPageNumberPosition::pnpTopRight
                              ? report.MarginTop()
                              : report.PageHeight() - report.MarginBottom());
        report.PrintRightAt(PageNumberText(report),
                            report.PageWidth() - report.MarginRight() - 1.0);
    }

    const double headerHeight = static_cast<double>(document.PageHeader.size()) * lineHeight;
    report.SetAreaTop(report.MarginTop() + headerHeight + 0.2 * lineHeight);
    report.GotoXY(report.MarginLeft(), report.MarginTop() + headerHeight + lineHeight);
    report.PopFont();
}

void TTavPrinter::PrintFooter(Report& report) {
    const TTavContents& document = *Document;
    report.PushFont();
    report.SetFont(document.PageFooterFont);
    report.BottomLine();
    report.SetCursorX(report.MarginLeft());
    report.SetCursorY(report.CursorY() - report.FooterHeight());
    const double lineHeight = report.RowHeight();
    for (const std::string& line : document.PageFooter) {
        report.SetCursorY(report.CursorY() + lineHeight);
        report.SetCursorX(report.MarginLeft());
        report.PrintAtCursor(line);
    }
    report.PopFont();
}

std::string TTavPrinter::PageNumberText(const Report& report) const {
    const std::string page = IntText(PageCounter);
    const std::string count =
        TotalPages != MissingCount ? IntText(TotalPages) : report.PageCountPlaceholder();
    switch (Document->PageNumberFormat) {
    case TPageNumberFormat::pnfSideNr:
        return Document->PageNrText1 + " " + page;
    case TPageNumberFormat::pnfSideNrAfAntal:
        return Document->PageNrText1 + " " + page + " " + Document->PageNrText2 + " " + count;
    case TPageNumberFormat::pnfNr:
        return page + " ";
    case TPageNumberFormat::pnfNrAfAntal:
        return page + "/" + count;
    }
    return page;
}

} // namespace veltrio
