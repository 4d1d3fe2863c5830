#pragma once

#include <QImage>
#include <functional>

#include "documents/Canvas.h"
#include "documents/Graphics.h"

namespace veltrio::platform {

QImage ToQImage(const TPicture& picture);
TPicture ToPicture(const QImage& image);

// Paints through a canvas onto a white image of the given size and returns
// its pixels (charts exported as GIF and PNG). The canvas is a 96-ppi
// screen; at another resolution the drawing is scaled by
// pixelsPerInch / 96, so fonts and lines keep their size on paper.
TPicture RenderPicture(int width, int height, int pixelsPerInch,
                       const std::function<void(Canvas&)>& paint);

} // namespace veltrio::platform
