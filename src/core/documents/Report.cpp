#include "documents/Report.h"

#include "base/TextUtil.h"

#include <algorithm>
#include <cmath>

namespace veltrio {

Report::Report() = default;
Report::~Report() = default;

void Report::Execute() {
    // Settings made before the run are where every pass starts, and what the
    // report is left with afterwards.
    const Settings settings{m_marginLeft,   m_marginRight, m_marginTop,
                            m_marginBottom, m_orientation, m_font};
    struct Restore {
        Report& r;
        const Settings& s;
        ~Restore() {
            r.m_marginLeft = s.marginLeft;
            r.m_marginRight = s.marginRight;
            r.m_marginTop = s.marginTop;
            r.m_marginBottom = s.marginBottom;
            r.m_orientation = s.orientation;
            r.m_font = s.font;
            r.m_fontStack.clear();
            r.m_running = false;
            r.m_counting = false;
        }
    } restore{*this, settings};

    RunPass(true, settings);
    m_countedPages = m_page;
    RunPass(false, settings);
}

void Report::RunPass(bool counting, const Settings& settings) {
    m_counting = counting;
    m_running = true;
    m_marginLeft = settings.marginLeft;
    m_marginRight = settings.marginRight;
    m_marginTop = settings.marginTop;
    m_marginBottom = settings.marginBottom;
    m_orientation = settings.orientation;
    m_font = settings.font;
    m_fontStack.clear();
    m_pen = TReportPen{};
    m_footerHeight = 0.0;
    m_page = 0;

    Fire(OnBeforePrint);
    if (!m_counting) {
        DeviceBeginDocument(m_title);
    }
    BeginPage();
    Fire(OnPrint);
    EndPage();
    if (!m_counting) {
        DeviceEndDocument();
    }
}

void Report::BeginPage() {
    ++m_page;
    m_pageOrientation = m_orientation;
    if (!m_counting) {
        DeviceBeginPage(PageWidth(), PageHeight());
    }
    AreaFromMargins();
    HomeCursor();
    Fire(OnPrintHeader);
    Fire(OnNewPage);
}

void Report::EndPage() {
    Fire(OnPrintFooter);
    if (!m_counting) {
        DeviceEndPage();
    }
}

void Report::Fire(const Handler& handler) {
    if (handler) {
        handler(*this);
    }
}

void Report::StartNewPage() {
    EndPage();
    BeginPage();
}

std::string Report::PageCountPlaceholder() const {
    return IntText(m_counting ? std::max(m_page, 1) : m_countedPages);
}

void Report::SetTitle(std::string_view title) {
    m_title = std::string(title);
}

void Report::SetPaperSize(double widthCm, double heightCm) {
    m_paperWidth = widthCm;
    m_paperHeight = heightCm;
}

double Report::PageWidth() const {
    const TOrientation o = m_running ? m_pageOrientation : m_orientation;
    return o == TOrientation::poPortrait ? m_paperWidth : m_paperHeight;
}

double Report::PageHeight() const {
    const TOrientation o = m_running ? m_pageOrientation : m_orientation;
    return o == TOrientation::poPortrait ? m_paperHeight : m_paperWidth;
}

void Report::AreaFromMargins() {
    m_areaLeft = m_marginLeft;
    m_areaTop = m_marginTop;
    m_areaRight = PageWidth() - m_marginRight;
    m_areaBottom = PageHeight() - m_marginBottom;
}

void Report::GotoXY(double x, double y) {
    m_cursorX = x;
    m_cursorY = y;
}

void Report::HomeCursor() {
    GotoXY(m_areaLeft, m_areaTop);
}

void Report::BottomLine() {
    GotoXY(m_areaLeft, m_areaBottom);
}

double Report::RowHeight() {
    return FontLineHeight(m_font);
}

int Report::RemainingLines() {
    const double h = RowHeight();
    if (h <= 0.0) {
        return 0;
    }
    // A small allowance keeps exact multiples from losing a line to rounding.
    const double lines = std::floor((m_areaBottom - m_cursorY) / h + 1e-9);
    return lines < 0.0 ? 0 : static_cast<int>(lines);
}

void Report::PushFont() {
    m_fontStack.push_back(m_font);
}

void Report::PopFont() {
    if (!m_fontStack.empty()) {
        m_font = m_fontStack.back();
        m_fontStack.pop_back();
    }
}

void Report::PrintAtCursor(std::string_view text) {
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = text.find('\t', start);
        const std::string_view piece = text.substr(
            start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
        if (!piece.empty()) {
            PrintLeftAt(piece, m_cursorX);
            m_cursorX += TextWidthCm(piece);
        }
        if (tab == std::string_view::npos) {
            break;
        }
        if (m_tabWidth > 0.0) {
            const double offset = m_cursorX - m_areaLeft;
            const double stops = std::floor(offset / m_tabWidth + 1e-9) + 1.0;
            m_cursorX = m_areaLeft + stops * m_tabWidth;
        }
        start = tab + 1;
    }
}

void Report::PrintLeftAt(std::string_view text, double x) {
    if (!m_counting && !text.empty()) {
        DeviceText(x, m_cursorY, m_font, text);
    }
}

void Report::PrintRightAt(std::string_view text, double x) {
    PrintLeftAt(text, x - TextWidthCm(text));
}

void Report::PrintCenteredAt(std::string_view text, double x) {
    PrintLeftAt(text, x - TextWidthCm(text) / 2.0);
}

double Report::TextWidthCm(std::string_view text) {
    return FontTextWidth(m_font, text);
}

void Report::SetPen(TColor color, TPenStyle style, double width) {
    m_pen = TReportPen{color, style, width};
}

void Report::MoveTo(double x, double y) {
    m_penX = x;
    m_penY = y;
}

void Report::LineTo(double x, double y) {
    if (!m_counting && m_pen.Style != TPenStyle::psClear) {
        DeviceLine(m_penX, m_penY, x, y, m_pen);
    }
    MoveTo(x, y);
}

void Report::FillRect(double x1, double y1, double x2, double y2, TColor color) {
    if (!m_counting) {
        DeviceFillRect(x1, y1, x2, y2, color);
    }
}

void Report::StretchPicture(double x1, double y1, double x2, double y2, const TPicture& picture) {
    if (!m_counting && !picture.Empty()) {
        DeviceStretchPicture(x1, y1, x2, y2, picture);
    }
}

void Report::DrawGraphicAt(double x, double y, double widthCm, double heightCm,
                           const std::function<void(Canvas&)>& paint) {
    if (!m_counting && paint) {
        DeviceGraphic(x, y, widthCm, heightCm, paint);
    }
}

} // namespace veltrio
