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

// A figure as a companion window shows it: one the form wrote as "Infinity", "NaN" or in exponent
// notation is no amount the agent can read out, and shows as a dash.
inline QString figureText(const std::string& s) {
    QString text = QString::fromStdString(s).trimmed();
    if (text.contains(QLatin1String("Infinity")) || text.contains(QLatin1String("NaN"))) {
        return QStringLiteral("-");
    }
    for (qsizetype i = 1; i + 1 < text.size(); ++i) {
        if ((text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e')) && text[i - 1].isDigit() &&
            (text[i + 1] == QLatin1Char('+') || text[i + 1] == QLatin1Char('-'))) {
            return QStringLiteral("-");
        }
    }
    return text;
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
