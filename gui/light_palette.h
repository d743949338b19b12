#pragma once

#include <QColor>
#include <QPalette>

namespace gui {

// The colours the window was designed in: black text on white boxes and a light grey face. The
// window keeps them on any desktop theme, because its fixed colours (the error red, the menu grey
// of the output boxes) were chosen against them and lose their contrast on a dark theme.
QPalette lightPalette();

// The error texts' red, RGB(192, 0, 0); also the outline of a box whose text is not read as typed.
inline constexpr QColor errorRed(192, 0, 0);

// The grey of the menu background, behind the output boxes.
QColor menuGrey();

} // namespace gui
