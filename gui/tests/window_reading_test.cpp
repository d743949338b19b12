// The window as the agent reads it all day: frame captions, figures too long for their boxes,
// readable results on any desktop theme, what a screen reader hears, the wheel over the list.

#include "tests/support/window_fixture.h"

#include "gui/layout.h"
#include "gui/light_palette.h"
#include "gui/widgets.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QMenu>
#include <QPalette>
#include <QWheelEvent>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using core::Control;
using testsupport::openWindow;
using testsupport::shown;
using testsupport::typeInto;

namespace {

// WCAG's relative luminance and contrast ratio.
double luminance(const QColor& colour) {
    auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double x = luminance(a);
    const double y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

QPalette darkPalette() {
    QPalette dark(QColor(230, 230, 230), QColor(53, 53, 53));
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(110, 110, 110));
    return dark;
}

// What the window shows for a control: a box's or figure's drawn text.
QString drawn(QWidget* widget) {
    if (auto* box = dynamic_cast<gui::TextBox*>(widget)) {
        return box->shownText();
    }
    if (auto* label = dynamic_cast<gui::ElidedLabel*>(widget)) {
        return label->shownText();
    }
    return shown(widget);
}

const std::vector<const char*> figureBoxes = {
    "vn", "ar", "ad", "tbvp", "tbavans", "tbdurcred", "tbdob", "tbratatlx", "bnr", "tbsumacc"};
const std::vector<const char*> figureLabels = {"lbrata",        "lbasig", "lbcomisgest",
                                               "lbdobaferenta", "lbdae",  "Label10"};

} // namespace

class WindowReadingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::prepareApplication(); }

    void FramesShowTheirCaptions() {
        auto window = openWindow();
        QVERIFY(window);
        int frames = 0;
        for (const gui::ControlSpec& entry : gui::controlTable()) {
            if (entry.kind != gui::Kind::Frame) {
                continue;
            }
            ++frames;
            auto* frame = qobject_cast<QGroupBox*>(window->control(entry.name));
            const QString caption = QString::fromUtf8(entry.caption.data(),
                                                      static_cast<qsizetype>(entry.caption.size()));
            QCOMPARE(frame->title(), caption);
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(frame);
            QCOMPARE(accessible->text(QAccessible::Name), caption);
        }
        QCOMPARE(frames, 6);
        // The captions survive every verdict.
        typeInto(*window, "tbdurcred", "70");
        QCOMPARE(qobject_cast<QGroupBox*>(window->control("Eroare"))->title(), "Eroare");
    }

    // Hostile inputs driven through the real model: the texts it then writes are as long as it
    // ever writes them (hundreds of digits, infinities, NaN, 15 significant digits).
    void LongFiguresAreElidedAndStayInTheirSpace_data() {
        QTest::addColumn<QStringList>("typing");
        QTest::newRow("20-digit down payment")
            << QStringList{"vn", "4200", "tbvp", "3500", "tbavans", "95287449600000000000"};
        QTest::newRow("300-digit down payment")
            << QStringList{"tbvp", "3500", "tbavans", QString(300, QLatin1Char('9'))};
        QTest::newRow("300-digit income")
            << QStringList{"vn", QString(300, QLatin1Char('7')), "tbvp", "3500", "tbdurcred", "24"};
        QTest::newRow("infinite product value")
            << QStringList{"vn", "4200", "tbvp", QString(400, QLatin1Char('9'))};
        QTest::newRow("15 significant digits") << QStringList{
            "vn", "4200", "tbvp", "3623.33333333333", "tbavans", "0.000000001", "tbdurcred", "7"};
    }

    void LongFiguresAreElidedAndStayInTheirSpace() {
        QFETCH(QStringList, typing);
        auto window = openWindow();
        QVERIFY(window);
        auto* list = qobject_cast<QComboBox*>(window->control("cbasig"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down); // "Standard": an insurance figure of many digits
        for (qsizetype i = 0; i + 1 < typing.size(); i += 2) {
            typeInto(*window, typing[i].toLatin1().constData(),
                     typing[i + 1].toLatin1().constData());
        }
        window->control("Check1")->setFocus(); // no box keeps the focus
        int elided = 0;
        std::vector<const char*> all = figureBoxes;
        all.insert(all.end(), figureLabels.begin(), figureLabels.end());
        for (const char* name : all) {
            QWidget* widget = window->control(name);
            const QString text = shown(widget);
            const QString seen = drawn(widget);
            const QByteArray what = QByteArray(name) + ": \"" + text.left(40).toUtf8() +
                                    "\" as \"" + seen.toUtf8() + '"';
            // Either the whole text, or its beginning and "…": never a middle or an end.
            if (seen != text) {
                ++elided;
                // A percentage keeps its "%" after the cut digits.
                QString cut = seen;
                if (text.endsWith(u'%')) {
                    QVERIFY2(seen.endsWith(u'%'), what.constData());
                    cut = seen.chopped(1).trimmed();
                }
                QVERIFY2(cut.endsWith(QChar(0x2026)), what.constData());
                QString start = cut.chopped(1);
                if (widget->objectName() == "Label10") { // each cut word is a start
                    for (const QString& word : seen.split(QRegularExpression("\\s+"))) {
                        if (word.endsWith(QChar(0x2026))) {
                            QVERIFY2(text.contains(word.chopped(1)), what.constData());
                        }
                    }
                    continue;
                }
                QVERIFY2(!start.isEmpty() && text.startsWith(start), what.constData());
                QVERIFY2(!start.startsWith('-') || text.startsWith('-'), what.constData());
            }
            if (auto* label = dynamic_cast<gui::ElidedLabel*>(widget);
                label != nullptr && !label->wordWrap()) {
                // The drawn text touches no other control on its row.
                const int advance = label->fontMetrics().horizontalAdvance(seen);
                const QRect ink(label->x() + label->shownLeft(), label->y(), advance,
                                label->height());
                QVERIFY2(ink.left() >= label->x() && ink.right() <= label->geometry().right(),
                         what.constData());
                for (QWidget* other : label->parentWidget()->findChildren<QWidget*>(
                         QString(), Qt::FindDirectChildrenOnly)) {
                    const QRect g = other->geometry();
                    const bool beside = g.right() < label->geometry().center().x() ||
                                        g.left() > label->geometry().center().x();
                    if (other != label && beside && g.intersected(ink).height() >= 4) {
                        QVERIFY2(!g.intersects(ink),
                                 (what + " over " + other->objectName().toUtf8()).constData());
                    }
                }
                QCOMPARE(label->tipText().isEmpty(), seen == text);
            }
            if (auto* box = dynamic_cast<gui::TextBox*>(widget); box && seen != text) {
                QVERIFY2(box->tipText().remove('\n').endsWith(text), what.constData());
            }
        }
        QVERIFY2(elided > 0, "a hostile input that cut nothing tests nothing");
    }

    // A box the agent works in scrolls its text as usual; it is cut only without the focus.
    void FocusedBoxShowsItsWholeText() {
        auto window = openWindow();
        QVERIFY(window);
        const QString digits(300, QLatin1Char('9'));
        typeInto(*window, "tbavans", digits.toLatin1().constData());
        auto* box = dynamic_cast<gui::TextBox*>(window->control("tbavans"));
        QVERIFY(box->hasFocus());
        QCOMPARE(box->shownText(), digits);
        window->control("vn")->setFocus();
        QVERIFY(box->shownText().endsWith(QChar(0x2026)));
        QVERIFY(digits.startsWith(box->shownText().chopped(1)));
    }

    void ResultsAreReadableAndCopyable() {
        auto window = openWindow();
        QVERIFY(window);
        typeInto(*window, "vn", "4200");
        typeInto(*window, "tbvp", "3500");
        for (const char* name : {"tbratatlx", "bnr", "tbsumacc"}) {
            auto* box = qobject_cast<QLineEdit*>(window->control(name));
            QVERIFY2(box->isReadOnly() && box->isEnabled(), name);
            QCOMPARE(box->focusPolicy(), Qt::ClickFocus); // out of the keyboard's path
            const QPalette palette = box->palette();
            QCOMPARE(palette.color(QPalette::Base), gui::menuGrey());
            for (const auto group : {QPalette::Active, QPalette::Inactive}) {
                const double ratio = contrast(palette.color(group, QPalette::Text),
                                              palette.color(group, QPalette::Base));
                QVERIFY2(ratio >= 4.5,
                         (QByteArray(name) + " " + QByteArray::number(ratio)).constData());
            }
            QVERIFY2(!box->text().isEmpty(), name);
            QTest::mouseClick(box, Qt::LeftButton);
            box->selectAll();
            box->copy();
            QCOMPARE(QApplication::clipboard()->text(), box->text());
            QTest::keyClicks(box, "123");
            QVERIFY2(QApplication::clipboard()->text() == box->text(), "typing changed a result");
        }
    }

    // Every text keeps its designed contrast on a dark desktop.
    void LightPaletteOnADarkDesktop() {
        const QPalette desktop = QApplication::palette();
        QApplication::setPalette(darkPalette());
        auto window = openWindow();
        QApplication::setPalette(desktop);
        QVERIFY(window);
        typeInto(*window, "tbdurcred", "70"); // the error text in red
        for (QWidget* widget : window->clientArea()->findChildren<QWidget*>()) {
            const QPalette p = widget->palette();
            const QByteArray name = widget->objectName().toLatin1();
            if (qobject_cast<QLabel*>(widget) != nullptr || qobject_cast<QGroupBox*>(widget)) {
                QVERIFY2(contrast(p.color(QPalette::WindowText), p.color(QPalette::Window)) >= 4.5,
                         name.constData());
            } else if (qobject_cast<QLineEdit*>(widget) != nullptr) {
                QVERIFY2(contrast(p.color(QPalette::Text), p.color(QPalette::Base)) >= 4.5,
                         name.constData());
            } else if (qobject_cast<QCheckBox*>(widget) != nullptr) {
                QCOMPARE(p.color(QPalette::Base), QColor(Qt::white));
                QVERIFY2(contrast(p.color(QPalette::WindowText), p.color(QPalette::Window)) >= 4.5,
                         name.constData());
            }
        }
        QCOMPARE(window->control("Label10")->palette().color(QPalette::WindowText),
                 QColor(192, 0, 0));
        QCOMPARE(window->palette().color(QPalette::Window),
                 gui::lightPalette().color(QPalette::Window));
    }

    void ScreenReaderHearsCaptionsAndFigures() {
        auto window = openWindow();
        QVERIFY(window);
        typeInto(*window, "vn", "4200");
        typeInto(*window, "ar", "350");
        typeInto(*window, "ad", "100");
        typeInto(*window, "tbvp", "3500");
        typeInto(*window, "tbavans", "500");
        typeInto(*window, "tbdurcred", "24");
        auto* list = qobject_cast<QComboBox*>(window->control("cbasig"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);

        auto accessible = [&](const char* name) {
            return QAccessible::queryAccessibleInterface(window->control(name));
        };
        QAccessibleInterface* rata = accessible("lbrata");
        QCOMPARE(rata->text(QAccessible::Name), QStringLiteral("Total de Plata"));
        QAccessibleTextInterface* text = rata->textInterface();
        QVERIFY(text);
        QCOMPARE(text->text(0, text->characterCount()), QStringLiteral("189.08 RON"));
        QCOMPARE(rata->text(QAccessible::Value), QStringLiteral("189.08 RON"));
        QCOMPARE(accessible("lbdae")->text(QAccessible::Name), QStringLiteral("DAE"));
        QCOMPARE(accessible("lbdae")->text(QAccessible::Value), QStringLiteral("45.04 %"));
        QCOMPARE(accessible("lbasig")->text(QAccessible::Value), QStringLiteral("14.3484 RON"));
        QAccessibleInterface* maximum = accessible("tbsumacc");
        QCOMPARE(maximum->text(QAccessible::Name), QStringLiteral("Valoare maxima bunuri"));
        QCOMPARE(maximum->textInterface()->text(0, maximum->textInterface()->characterCount()),
                 QStringLiteral("17234.78"));
        QVERIFY(!maximum->state().disabled);

        QAccessibleInterface* insurance = accessible("cbasig");
        QCOMPARE(insurance->role(), QAccessible::ComboBox);
        QCOMPARE(insurance->text(QAccessible::Name), QStringLiteral("Prima de asigurare"));
        QCOMPARE(insurance->text(QAccessible::Value), QStringLiteral("Standard"));

        // The panels are alerts, named by their caption and described by their text. (How
        // they are announced as they appear is checked through the desktop's own bus.)
        QCOMPARE(accessible("Eroare")->role(), QAccessible::AlertMessage);
        QCOMPARE(accessible("Frame6")->role(), QAccessible::AlertMessage);
        typeInto(*window, "tbdurcred", "70");
        QCOMPARE(accessible("Eroare")->text(QAccessible::Name), QStringLiteral("Eroare"));
        QVERIFY(accessible("Eroare")
                    ->text(QAccessible::Description)
                    .startsWith(QStringLiteral("Durata creditului este prea mare")));
        typeInto(*window, "tbdurcred", "24");
        typeInto(*window, "ar", "3350");
        QVERIFY(window->control("Frame6")->isVisible());
        QCOMPARE(accessible("Frame6")->text(QAccessible::Description),
                 QStringLiteral("Indatorare prea mare. Incercati cu o valoare mai mica sau o "
                                "perioada mai mare."));
    }

    void WheelChangesTheListOnlyWithTheFocus() {
        auto window = openWindow();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* list = qobject_cast<QComboBox*>(window->control("cbasig"));
        auto wheel = [&] {
            const QPoint at = list->rect().center();
            QWheelEvent event(at, list->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(list, &event);
        };
        window->control("vn")->setFocus();
        const long before = window->form().recalculations();
        wheel();
        QCOMPARE(window->form().controls().listIndex(ui::Control::cbasig), 0);
        QCOMPARE(window->form().recalculations(), before);
        QVERIFY(!list->hasFocus() && !list->lineEdit()->hasFocus());
        QCOMPARE(list->focusPolicy(), Qt::StrongFocus);

        list->setFocus();
        wheel();
        QCOMPARE(window->form().controls().listIndex(ui::Control::cbasig), 1);
        QCOMPARE(list->currentText(), QStringLiteral("Standard"));
        QCOMPARE(window->form().recalculations(), before + 1);
    }
};

QTEST_MAIN(WindowReadingTest)
#include "window_reading_test.moc"
