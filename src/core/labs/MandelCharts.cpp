// The charts of Mandel's statistics: every laboratory's value per level at
// its position, the critical lines, and the values beyond the value axis
// listed below.
#include "labs/Mandel.h"

#include <algorithm>

#include "base/TextUtil.h"
#include "charts/ChartStyle.h"
#include "charts/GraphWindow.h"
#include "study/Program.h"

namespace veltrio {

namespace {

constexpr int MandelHelpContext = 7000;
constexpr double OriginX = 1;
constexpr double OriginY = 12.5;
constexpr double XLength = 17.5;
constexpr double YLength = 11;
constexpr double CodeFontSize = 10;
// A rough width of a character of the output font, in cm per point: codes
// closer than this estimate go on two rows.
constexpr double CharCmPerPoint = 0.6 * 2.54 / 72;
// The distance of the rows of codes, and the most rows.
constexpr double SecondRow = 0.45;
constexpr int MaxCodeRows = 4;
// Lines of values outside the axis in one column of the list.
constexpr int OutsidePerColumn = 24;
constexpr double OutsideColumnWidth = 6;

constexpr int LevelMarkers[] = {0, 4, 5};
constexpr int CommonMarker = 13;

} // namespace

std::shared_ptr<TGraphWindow> TMandel::BuildChart(int pageNo) {
    const std::vector<TMandelPage> pages = Pages();
    if (!m_program.CurrentStudy || pageNo < 1 || pageNo > static_cast<int>(pages.size())) {
        return nullptr;
    }
    const DataType& study = *m_program.CurrentStudy;
    const TSettings& settings = m_program.Settings;
    const TMandelPage page = pages[static_cast<std::size_t>(pageNo - 1)];
    const int first = page.First, last = page.Last;
    auto lab = [&](int position) { return settings.MandelSorted ? LabOrder(position) : position; };

    auto chart = NewChartWindow(settings);
    TGraphWindow& g = *chart;
    if (settings.DiscardOutlierTests) {
        // Above the title, at the page's top left.
        AddChartDiscardNote(g, m_program.LibText(1, 93), OriginX, 0.3);
    }
    g.SetTickLength(0.1);
    g.SetOrigin(OriginX, OriginY);
    g.SetAxisLengths(XLength, YLength);
    // The positions carry the laboratory codes instead of numbers: the axis
    // line and its ticks only.
    g.SetXAxis(0, 2, first - 1, last, 1);
    g.AddLine(OriginX, OriginY, OriginX + XLength, OriginY);
    for (int i = first - 1; i <= last; ++i) {
        g.AddLine(g.PageX(i), OriginY - g.TickLength(), g.PageX(i), OriginY);
    }
    g.SetYAxis(0, 0, ChartMin, ChartMax, 1);

    // Codes that would touch their neighbours take turns on two rows (or
    // more, with many laboratories on a page); what lies below the codes
    // moves down with the extra rows.
    const TFontDescriptor codeFont = ChartOutputFont(settings, static_cast<int>(CodeFontSize));
    std::size_t widest = 0;
    for (int i = first; i <= last; ++i) {
        widest = std::max(widest, Utf8Length(study.Level(1).GetRandCode(lab(i))));
    }
    const double spacing = XLength / (last - first + 1);
    const double codeWidth = static_cast<double>(widest) * CodeFontSize * CharCmPerPoint + 0.1;
    int rows = 1;
    while (rows < MaxCodeRows && codeWidth > rows * spacing) {
        ++rows;
    }
    const double below = (rows - 1) * SecondRow;
    for (int i = first; i <= last; ++i) {
        const double y = OriginY + 0.2 + ((i - first) % rows) * SecondRow;
        g.AddText(study.Level(1).GetRandCode(lab(i)), g.PageX(i), y, 1, 2, codeFont);
    }

    if (TwoSided()) {
        g.AddLine(g.PageX(first - 1), g.PageY(0), g.PageX(last), g.PageY(0), clBlack,
                  TPenStyle::psSolid, -3);
    }

    // The values per level, and those beyond the axis for the list.
    const std::string levelHead = LevelHead();
    std::vector<std::string> outside;
    for (int lv = 1; lv <= m_levels; ++lv) {
        std::vector<TPointXY> points;
        for (int i = first; i <= last; ++i) {
            const double v = Values(lab(i), lv);
            if (v == MissingValue) {
                continue;
            }
            if (OnAxis(v)) {
                points.push_back({static_cast<double>(i), v});
            } else {
                outside.push_back("    " + m_program.LibText(8, 2) + " " +
                                  study.Level(1).GetRandCode(lab(i)) + ", " + levelHead + " " +
                                  study.Level(lv).LevelName);
            }
        }
        const int marker = settings.DiffMarkers ? LevelMarkers[(lv - 1) % 3] : CommonMarker;
        g.AddCurve(points, "", clBlack, -1, TPenStyle::psClear, 0.2, clBlack, marker);
    }

    // The critical lines for the most values in a level.
    auto criticalLine = [&](double c) {
        g.AddLine(g.PageX(first - 1), g.PageY(c), g.PageX(last), g.PageY(c), clBlack,
                  TPenStyle::psDash, -1);
    };
    for (const TSignificanceLevel sl :
         {TSignificanceLevel::OnePercent, TSignificanceLevel::FivePercent}) {
        const double c = ChartCritical(sl);
        if (c == MissingValue) {
            continue;
        }
        criticalLine(c);
        if (TwoSided()) {
            criticalLine(-c);
        }
    }

    const TFontDescriptor listFont = ChartOutputFont(settings, 10);
    if (!outside.empty()) {
        g.AddText(m_program.LibText(10, 3), OriginX, OriginY + 2.0 + below, 0, 2, listFont);
        for (std::size_t j = 0; j < outside.size(); ++j) {
            const auto column = static_cast<double>(j / OutsidePerColumn);
            const auto line = static_cast<double>(j % OutsidePerColumn);
            g.AddText(outside[j], OriginX + column * OutsideColumnWidth,
                      OriginY + 2.5 + below + 0.5 * line, 0, 2, listFont);
        }
    }

    std::string title =
        m_program.LibText(8, NameItem()) + ", " + study.Substance + ", " + study.Unit;
    if (pages.size() >= 2) {
        title += " [" + std::to_string(pageNo) + "/" + std::to_string(pages.size()) + "]";
    }
    g.SetTitle(title, ChartOutputFont(settings, 13, true), 0.6);
    const TFontDescriptor axisFont = ChartOutputFont(settings, 10);
    g.SetYAxisTitle(Symbol(), 1, axisFont);
    g.AddText(m_program.LibText(8, 2), OriginX + XLength / 2, OriginY + 0.7 + below, 1, 2,
              axisFont);

    if (settings.DiffMarkers) {
        const TFontDescriptor legendFont = ChartOutputFont(settings, 8);
        for (int lv = 1; lv <= m_levels; ++lv) {
            const double x = OriginX + 4 * (lv - 1);
            const double y = OriginY + 1.5 + below;
            g.DrawMarker(LevelMarkers[(lv - 1) % 3], clBlack, 0.1, x, y, false);
            g.AddText(levelHead + " " + study.Level(lv).LevelName, x + 0.3, y, 0, 1, legendFont);
        }
    }
    return chart;
}

void TMandel::MakeCharts() {
    const auto pages = Pages();
    const std::string caption = m_program.LibText(8, 7) + " - " + m_program.LibText(8, NameItem());
    for (int j = 1; j <= static_cast<int>(pages.size()); ++j) {
        if (auto chart = BuildChart(j)) {
            m_program.host().ShowChart(chart, caption, MandelHelpContext);
        }
    }
}

} // namespace veltrio
