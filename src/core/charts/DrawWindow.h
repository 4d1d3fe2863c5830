#pragma once

#include <array>

#include "charts/FontDescriptor.h"
#include "charts/GraphObjects.h"
#include "documents/Graphics.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace veltrio {

class Canvas;

enum class TProportioning { pAutomatic, pUser, pTrue, pAll, pFitToSize };
enum class TPrinterOrientation { poPortrait, poLandscape };

// A retained drawing: shapes placed in centimetres on a virtual page, drawn
// through a Canvas at any size. The window that shows it (GUI), the SVG and
// raster exports (platform) and document items all draw through Paint or
// DrawOn.
class TDrawWindow {
public:
    TDrawWindow();
    virtual ~TDrawWindow();
    TDrawWindow(const TDrawWindow&) = delete;
    TDrawWindow& operator=(const TDrawWindow&) = delete;

    // Page size that is printed or exported; values below 3 cm become 3.
    double XinCm() const { return m_xInCm; }
    double YinCm() const { return m_yInCm; }
    void SetXinCm(double cm);
    void SetYinCm(double cm);
    // The page size used instead under pFitToSize.
    double PlotWidth = 0.5;
    double PlotHeight = 0.5;
    // The paper.
    double PageWidth = 21;
    double PageHeight = 29.7;
    TPrinterOrientation PrinterOrientation = TPrinterOrientation::poPortrait;
    TProportioning Proportioning = TProportioning::pAutomatic;
    TColor BackgroundColor = clWhite;
    // >= 0: cm; < 0: that many pixels (-1 the thinnest line).
    double DefaultLineWidth = -1;

    // The base font; its size follows the scale (12 × scale).
    const TFont& Font() const { return m_font; }
    double ScaleFactor() const { return m_scale; }
    // Only under pUser; ignored otherwise.
    void SetScaleFactor(double scale);
    double PixelsPerCmScaled() const { return m_pixelsPerCmScaled; }
    double TextScale() const { return m_textScale; }

    // The screen whose size the scaling refers to (the GUI sets the real one).
    int ScreenWidth = 800;
    int ScreenHeight = 600;
    // The window's own size in pixels (the exports scale for it).
    int Width = 800;
    int Height = 600;

    // Page size of an export: XinCm × YinCm, or PlotWidth × PlotHeight under
    // pFitToSize.
    double ExportWidthCm() const;
    double ExportHeightCm() const;

    // Shapes; widths > 0 in cm, −1 the default line width, other values ≤ 0
    // that many pixels. Alignments: horizontal 0 left edge, 1 centre, 2 right
    // edge at x; vertical 0 bottom, 1 centre, 2 top at y.
    TLine& AddLine(double x1, double y1, double x2, double y2, TColor color = clBlack,
                   TPenStyle style = TPenStyle::psSolid, double width = -1);
    TText& AddText(const std::string& text, double x, double y, int horzAlign, int vertAlign,
                   const TFontDescriptor& font, double angle = 0);
    TCircle& AddCircle(double x, double y, double diameter, TColor color, bool filled);
    TSquare& AddSquare(double x, double y, double halfSide, TColor color, bool filled);
    TTriangle& AddTriangle(double x, double y, double radius, TColor color, bool filled);
    TLeftTriangle& AddLeftTriangle(double x, double y, double radius, TColor color, bool filled);
    TRightTriangle& AddRightTriangle(double x, double y, double radius, TColor color, bool filled);
    THexagon& AddHexagon(double x, double y, double radius, TColor color, bool filled);
    TRectangle& AddRectangle(double x1, double y1, double x2, double y2, TColor color,
                             TPenStyle style, bool filled);
    TGraphPicture& AddPicture(const TPicture& picture, double x1, double y1, double x2, double y2);
    TGraphObject& AddObject(std::unique_ptr<TGraphObject> object);
    void ClearObjects();

    const std::vector<std::unique_ptr<TGraphObject>>& Objects() const { return m_objects; }
    // One Describe line per shape, in drawing order.
    std::vector<std::string> Describe() const;

    // Added to every shape when drawing.
    void SetOffset(double x, double y);
    double OffsetX() const { return m_offsetX; }
    double OffsetY() const { return m_offsetY; }

    // The scale for a target of w × h pixels on a canvas of that resolution.
    void CalcDimensions(int w, int h, int canvasPixelsPerInch);

    // The window: background, scaled to Width × Height, every shape with the
    // offset.
    void Paint(Canvas& canvas);
    // The chart scaled to w × h pixels with its top-left corner at (x, y).
    void DrawOn(Canvas& canvas, int x, int y, int w, int h);
    // An export page: background and every shape, scaled for the window's
    // own size, with or without the offset.
    void DrawExport(Canvas& canvas, bool withOffset);
    // The box, in the pixels of DrawExport, that the drawing covers (texts
    // measured on the canvas): left, top, right, bottom. Empty (all 0) for
    // a chart without shapes.
    std::array<int, 4> DrawnBox(Canvas& canvas, bool withOffset);

    // Called when the drawing changes, so a window can repaint.
    std::function<void()> OnChange;

protected:
    void Changed();
    void DrawObjects(Canvas& canvas, int originX, int originY, bool withOffset) const;
    TDrawContext Context(Canvas& canvas, int originX, int originY, bool withOffset) const;
    // The drawing's shift (texts kept inside the page's left and top edges)
    // and the pixel offsets of the movable texts, in object order (0, 0 for
    // every other object), for the context's canvas.
    struct TPlacement {
        int ShiftX = 0, ShiftY = 0;
        std::vector<std::pair<int, int>> Offsets;
    };
    TPlacement PlaceTexts(TDrawContext& dc) const;

private:
    double m_xInCm = 20;
    double m_yInCm = 16;
    double m_scale = 1;
    double m_pixelsPerCmScaled = 96.0 / 2.54;
    double m_textScale = 1;
    double m_offsetX = 0;
    double m_offsetY = 0;
    TFont m_font{"Arial", 12};
    std::vector<std::unique_ptr<TGraphObject>> m_objects;
};

} // namespace veltrio
