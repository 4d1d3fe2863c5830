#pragma once

namespace veltrio {

// Screen pixels per centimetre: the screen's pixels per inch / 2.54, fixed
// once at start-up. Tables convert between centimetres and the pixels their
// cells store with it. The default is a 96-dpi screen.
double PixelsPerCm();
void SetPixelsPerCm(double pixelsPerCm);

// cm × PixelsPerCm to the nearest pixel, and back by division.
int CmToPixels(double cm);
double PixelsToCm(double pixels);

// Points of a font size as pixels of a surface with the given resolution.
double PointsToPixels(double points, int pixelsPerInch);
// Points as centimetres on paper.
inline double PointsToCm(double points) {
    return points / 72.0 * 2.54;
}

} // namespace veltrio
