#include "gui/light_palette.h"

namespace gui {

QColor menuGrey() {
    return {240, 240, 240};
}

QPalette lightPalette() {
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    // Disabled text at 4.6 : 1 on the face, still readable where the design greys a control.
    const QColor greyText(109, 109, 109);
    QPalette palette(black, menuGrey(), white, QColor(160, 160, 160), QColor(200, 200, 200), black,
                     white, white, menuGrey());
    palette.setColor(QPalette::Shadow, QColor(105, 105, 105));
    palette.setColor(QPalette::Highlight, QColor(0, 120, 215));
    palette.setColor(QPalette::HighlightedText, white);
    palette.setColor(QPalette::AlternateBase, QColor(245, 245, 245));
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    palette.setColor(QPalette::ToolTipText, black);
    palette.setColor(QPalette::PlaceholderText, greyText);
    palette.setColor(QPalette::Link, QColor(0, 0, 238));
    palette.setColor(QPalette::LinkVisited, QColor(85, 26, 139));
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, greyText);
    }
    return palette;
}

} // namespace gui
