#include "charts/ChartStyle.h"

namespace veltrio {

void ChartFonts(TGraphWindow& graph, const TSettings& settings) {
    const TFontDescriptor font = ChartOutputFont(settings, 10);
    graph.SetLegendFont(font);
    graph.SetXAxisFont(font);
    graph.SetYAxisFont(font);
}

TFontDescriptor ChartOutputFont(const TSettings& settings, int size, bool bold) {
    TFontDescriptor font;
    font.Name = settings.OutputFontName;
    font.Size = size;
    font.Bold = bold;
    return font;
}

double ChartLineWidth(const TSettings& settings) {
    return settings.LineWidth >= 0 ? settings.LineWidth * 0.1 : -1;
}

void AddChartDiscardNote(TGraphWindow& graph, const std::string& note, double x, double y) {
    TFontDescriptor font;
    font.Size = 10;
    font.Bold = true;
    font.Italic = true;
    graph.AddText(note, x, y, 0, 0, font);
}

void SetUpChartWindow(TGraphWindow& graph, const TSettings& settings) {
    ChartFonts(graph, settings);
    graph.SetXinCm(26);
    graph.SetYinCm(30);
    graph.SetOffset(settings.MarginLeft - 1, settings.MarginTop - 2);
    graph.DefaultLineWidth = ChartLineWidth(settings);
}

std::shared_ptr<TGraphWindow> NewChartWindow(const TSettings& settings) {
    auto graph = std::make_shared<TGraphWindow>();
    SetUpChartWindow(*graph, settings);
    return graph;
}

} // namespace veltrio
