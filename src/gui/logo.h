#pragma once
// The program's logo, drawn in code with the same shapes as the installed icon quelbrix.svg
// (the Qt build here has no SVG reader).

#include <QIcon>
#include <QPixmap>

namespace gui {

QPixmap logoPixmap(int size);
// The logo at the sizes a window decoration asks for.
QIcon logoIcon();

}  // namespace gui
