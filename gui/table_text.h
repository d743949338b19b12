#pragma once

#include <QFont>
#include <QString>
#include <QVariant>

#include <string>

// What the windows that show the logic's tables (the schedule, the variants) share.
namespace gui {

// Text the logic below wrote (UTF-8), as the toolkit's.
inline QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// The font of a row that stands out (the totals, the current duration); nothing for the others,
// which keep the view's own font.
inline QVariant boldFontIf(bool standsOut) {
    if (!standsOut) {
        return {};
    }
    QFont bold;
    bold.setBold(true);
    return bold;
}

} // namespace gui
