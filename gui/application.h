#pragma once

class QFont;
class QIcon;

namespace gui {

// What every process that shows the window does once, after the QApplication exists and before
// the window is built: the font substitutes, the style the pixel layout was drawn for, the icon.
void prepareApplication();

// "MS Sans Serif" 8.25 pt: the window's own font and that of every control without one.
QFont windowFont();

// The program's icon, with its 16, 32 and 48 pixel images.
QIcon programIcon();

} // namespace gui
