// Colours that stay readable on the desktop's palette, light, dark or high
// contrast: the program's own accents are used only where they contrast
// enough with the background they are drawn on.
#ifndef LINTARO_UI_PALETTE_COLOURS_H_
#define LINTARO_UI_PALETTE_COLOURS_H_

#include <QColor>

namespace lintaro {

// The contrast ratio of two colours (1 to 21), from their relative
// luminance as the accessibility guidelines for the web define it.
double ContrastRatio(const QColor& a, const QColor& b);

// wanted, when it contrasts with background at least 4.5 to 1 (the ratio
// asked of normal text); otherwise fallback (the palette's own text colour).
QColor Readable(const QColor& wanted, const QColor& background, const QColor& fallback);

// A text colour for a light background such as the marked fields' yellow:
// black or white, whichever contrasts more.
QColor TextOn(const QColor& background);

}  // namespace lintaro

#endif  // LINTARO_UI_PALETTE_COLOURS_H_
