#include "gui/application.h"

#include "gui/accessibility.h"
#include "gui/light_palette.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QString>
#include <QStyleFactory>
#include <QTranslator>

namespace gui {

void prepareApplication() {
    // The window was drawn for "Arial" and "MS Sans Serif", which a Linux desktop lacks.
    // Liberation Sans has Arial's metrics, so the captions fit their boxes as designed.
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    // Every control sits at a fixed pixel place and size; a desktop style with wider margins
    // would cut the 15.75 pt digits of the text boxes. Fusion draws them as the layout expects,
    // on every desktop and on the offscreen platform the tests use.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fusion);
    }
    // The toolkit's dialogs speak the window's language whatever the desktop's: the window is in
    // Romanian only.
    auto* translator = new QTranslator(qApp); // lives as long as the application
    if (translator->load(QStringLiteral(":/translations/qt_ro.qm"))) {
        QCoreApplication::installTranslator(translator);
    }
    // One palette for every window of the program, the toolkit's dialogs included: the form's
    // light one, whatever the desktop's theme.
    QApplication::setPalette(lightPalette());
    QApplication::setWindowIcon(programIcon());
    installAccessibility();
    QGuiApplication::setDesktopFileName(QStringLiteral("simulator-credit"));
}

QFont windowFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    return font;
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        icon.addFile(QStringLiteral(":/images/simulator-credit-%1.png").arg(size),
                     QSize(size, size));
    }
    return icon;
}

} // namespace gui
