// Window geometry is laid out in twips, 1,440 to the inch, as the layouts were designed. This is
// the one place where twips become Qt's device-independent pixels (96 to the inch, so 15 twips to
// the pixel, rounded to the nearest one); Qt scales those for high-dpi screens.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace rigtune {

inline constexpr int TwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) {
    return twips >= 0 ? (twips + TwipsPerPixel / 2) / TwipsPerPixel
                      : -((-twips + TwipsPerPixel / 2) / TwipsPerPixel);
}

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

// A control's place in its container, in twips, as the layouts give it.
struct TwipsRect {
    int left, top, width, height;

    constexpr QRect toPixels() const { return twipsRect(left, top, width, height); }
};

constexpr QSize twipsSize(int width, int height) {
    return QSize(twipsToPixels(width), twipsToPixels(height));
}

constexpr QPoint twipsPoint(int x, int y) {
    return QPoint(twipsToPixels(x), twipsToPixels(y));
}

} // namespace rigtune
