#include "documents/Units.h"

#include <cmath>

namespace veltrio {

namespace {
double g_pixelsPerCm = 96.0 / 2.54;
}

double PixelsPerCm() {
    return g_pixelsPerCm;
}

void SetPixelsPerCm(double pixelsPerCm) {
    if (pixelsPerCm > 0.0) {
        g_pixelsPerCm = pixelsPerCm;
    }
}

int CmToPixels(double cm) {
    return static_cast<int>(std::lround(cm * g_pixelsPerCm));
}

double PixelsToCm(double pixels) {
    return pixels / g_pixelsPerCm;
}

double PointsToPixels(double points, int pixelsPerInch) {
    return points * pixelsPerInch / 72.0;
}

} // namespace veltrio
