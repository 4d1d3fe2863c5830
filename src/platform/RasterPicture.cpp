#include "platform/RasterPicture.h"

#include <QPainter>

#include "platform/QtCanvas.h"

namespace veltrio::platform {

QImage ToQImage(const TPicture& picture) {
    QImage img(picture.Width, picture.Height, QImage::Format_RGB32);
    for (int y = 0; y < picture.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < picture.Width; ++x) {
            const TColor c = picture.Pixels[static_cast<std::size_t>(y) * picture.Width + x];
            line[x] = qRgb(int(ColorRed(c)), int(ColorGreen(c)), int(ColorBlue(c)));
        }
    }
    return img;
}

TPicture ToPicture(const QImage& image) {
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    TPicture p;
    p.Width = img.width();
    p.Height = img.height();
    p.Pixels.resize(static_cast<std::size_t>(p.Width) * p.Height);
    for (int y = 0; y < p.Height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < p.Width; ++x) {
            p.Pixels[static_cast<std::size_t>(y) * p.Width + x] =
                MakeColor(qRed(line[x]), qGreen(line[x]), qBlue(line[x]));
        }
    }
    return p;
}

TPicture RenderPicture(int width, int height, int pixelsPerInch,
                       const std::function<void(Canvas&)>& paint) {
    QImage img(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    img.fill(Qt::white);
    const int dpm = static_cast<int>(pixelsPerInch / 0.0254);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    {
        QPainter painter(&img);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        // Drawn in screen units, sampled at the image's resolution.
        painter.scale(pixelsPerInch / 96.0, pixelsPerInch / 96.0);
        QtCanvas canvas(painter, 96);
        if (paint) {
            paint(canvas);
        }
    }
    return ToPicture(img);
}

} // namespace veltrio::platform
