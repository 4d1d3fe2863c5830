#include "platform/QtCanvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPolygon>

#include "platform/QtConvert.h"
#include "platform/RasterPicture.h"

namespace veltrio::platform {

QtCanvas::QtCanvas(QPainter& painter, int pixelsPerInch) : m_painter(painter), m_ppi(pixelsPerInch) {}

int QtCanvas::TextWidth(std::string_view text) {
    return QFontMetrics(ToQFont(Font(), m_ppi)).horizontalAdvance(ToQString(text));
}

int QtCanvas::TextHeight(std::string_view) {
    return QFontMetrics(ToQFont(Font(), m_ppi)).height();
}

void QtCanvas::TextOut(int x, int y, std::string_view text, THorzAlign horz, TVertAlign vert,
                       double angle) {
    const QFont f = ToQFont(Font(), m_ppi);
    const QFontMetrics fm(f);
    const QString s = ToQString(text);
    double dx = 0;
    switch (horz) {
    case THorzAlign::Center:
        dx = -fm.horizontalAdvance(s) / 2.0;
        break;
    case THorzAlign::Right:
        dx = -fm.horizontalAdvance(s);
        break;
    default:
        break;
    }
    double dy = 0; // from the anchor to the base line
    switch (vert) {
    case TVertAlign::Top:
        dy = fm.ascent();
        break;
    case TVertAlign::Bottom:
        dy = -fm.descent();
        break;
    default:
        break;
    }
    m_painter.save();
    m_painter.setFont(f);
    m_painter.setPen(ToQColor(Font().Color));
    m_painter.translate(x, y);
    if (angle != 0.0) {
        m_painter.rotate(-angle);
    }
    m_painter.drawText(QPointF(dx, dy), s);
    m_painter.restore();
}

void QtCanvas::ApplyPenAndBrush(bool fill) {
    QPen pen(ToQColor(Pen().Color));
    pen.setStyle(ToQtPenStyle(Pen().Style));
    pen.setWidth(Pen().Width <= 1 ? 0 : Pen().Width);
    m_painter.setPen(pen);
    if (fill && Brush().Style == TBrushStyle::bsSolid) {
        m_painter.setBrush(ToQColor(Brush().Color));
    } else {
        m_painter.setBrush(Qt::NoBrush);
    }
}

void QtCanvas::Line(int x1, int y1, int x2, int y2) {
    ApplyPenAndBrush(false);
    m_painter.drawLine(x1, y1, x2, y2);
}

static QPolygon ToPolygon(std::span<const TPoint> points) {
    QPolygon poly;
    for (const auto& p : points) {
        poly << QPoint(p.X, p.Y);
    }
    return poly;
}

void QtCanvas::Polyline(std::span<const TPoint> points) {
    ApplyPenAndBrush(false);
    m_painter.drawPolyline(ToPolygon(points));
}

void QtCanvas::Polygon(std::span<const TPoint> points) {
    ApplyPenAndBrush(true);
    m_painter.drawPolygon(ToPolygon(points));
}

void QtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    ApplyPenAndBrush(true);
    m_painter.drawRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)));
}

void QtCanvas::FillRect(int x1, int y1, int x2, int y2) {
    m_painter.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), ToQColor(Brush().Color));
}

void QtCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    ApplyPenAndBrush(true);
    m_painter.drawEllipse(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)));
}

void QtCanvas::Draw(int x, int y, const TPicture& picture) {
    if (!picture.Empty()) {
        m_painter.drawImage(QPoint(x, y), ToQImage(picture));
    }
}

void QtCanvas::StretchDraw(int x1, int y1, int x2, int y2, const TPicture& picture) {
    if (!picture.Empty()) {
        m_painter.drawImage(QRect(x1, y1, x2 - x1, y2 - y1), ToQImage(picture));
    }
}

} // namespace veltrio::platform
