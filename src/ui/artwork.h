// The program's own pictures, drawn in code: the logo beside the welcome
// text and the window icon (the installed icon is the same drawing as SVG).
#ifndef LINTARO_UI_ARTWORK_H_
#define LINTARO_UI_ARTWORK_H_

#include <QIcon>
#include <QPixmap>

namespace lintaro {

// A square logo of side pixels: a sheet of records with a check mark.
QPixmap DrawLogo(int side, qreal device_pixel_ratio = 1.0);
QIcon ProgramIcon();

}  // namespace lintaro

#endif  // LINTARO_UI_ARTWORK_H_
