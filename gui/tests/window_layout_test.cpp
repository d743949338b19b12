// The window as the agent sees it: places, fonts, colours, stacking and visibility of the
// controls, the pictures and icon, the accessible names and the keyboard's path.

#include "tests/support/window_fixture.h"

#include "gui/light_palette.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QMenuBar>
#include <QPalette>

#include <algorithm>
#include <string>
#include <vector>

using testsupport::openWindow;
using testsupport::typeInto;

namespace {

// The frame of the bottom band that shows at a point of the window, or an empty name.
QString frameAt(QWidget& window, QPoint point) {
    for (QWidget* w = window.childAt(point); w != nullptr && w != &window; w = w->parentWidget()) {
        if (qobject_cast<QGroupBox*>(w) != nullptr) {
            return w->objectName();
        }
    }
    return {};
}

} // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::prepareApplication(); }

    void WindowIsFixedWithCloseBoxOnly() {
        auto window = openWindow();
        QVERIFY(window);
        // The form keeps its client area below the menu bar; the window grows by the bar alone.
        const QWidget* client = window->clientArea();
        QCOMPARE(client->size(), QSize(848, 519));
        QCOMPARE(client->pos(), QPoint(0, window->menus()->height()));
        QVERIFY(window->menus()->height() > 0);
        QCOMPARE(window->size(), QSize(848, 519 + window->menus()->height()));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowTitleHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(window->windowTitle(), QStringLiteral("Simulator Credit Omnira"));
        QCOMPARE(window->objectName(), QStringLiteral("Form1"));
        const QList<QSize> sizes = window->windowIcon().availableSizes();
        for (const int side : {16, 32, 48}) {
            QVERIFY2(sizes.contains(QSize(side, side)), QByteArray::number(side));
        }
    }

    void MenuBarAboveTheForm() {
        auto window = openWindow();
        QVERIFY(window);
        QStringList titles;
        for (QAction* menu : window->menus()->actions()) {
            titles << menu->text();
        }
        QCOMPARE(titles, (QStringList{"&Fisier", "&Oferta", "A&jutor"}));
        auto* quit = window->findChild<QAction*>(QStringLiteral("quitAction"));
        QVERIFY(quit);
        QCOMPARE(quit->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
        QCOMPARE(window->fileMenu()->actions().last(), quit);
        const long before = window->form().recalculations();
        quit->trigger();
        QVERIFY(!window->isVisible());
        QCOMPARE(window->form().recalculations(), before);
    }

    void ControlsSitAtTheirPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("Label1") << "Label1" << -1 << "clientArea" << QRect(247, 16, 485, 41);
        QTest::newRow("Picture2") << "Picture2" << -1 << "clientArea" << QRect(736, 0, 105, 97);
        QTest::newRow("Check2") << "Check2" << -1 << "clientArea" << QRect(488, 64, 89, 41);
        QTest::newRow("Frame1") << "Frame1" << -1 << "clientArea" << QRect(0, 112, 409, 273);
        QTest::newRow("texvn") << "texvn" << -1 << "Frame1" << QRect(8, 24, 209, 32);
        QTest::newRow("vn") << "vn" << -1 << "Frame1" << QRect(216, 16, 137, 32);
        QTest::newRow("Label2") << "Label2" << -1 << "Frame1" << QRect(8, 232, 217, 25);
        QTest::newRow("tbsumacc") << "tbsumacc" << -1 << "Frame1" << QRect(216, 232, 137, 32);
        QTest::newRow("cbasig") << "cbasig" << -1 << "Frame2" << QRect(224, 96, 145, 24);
        // One pixel of air either side of "LUNI", from the free space beside it.
        QTest::newRow("Label30") << "Label30" << -1 << "Frame2" << QRect(368, 136, 51, 32);
        QTest::newRow("tbdob") << "tbdob" << -1 << "Frame2" << QRect(224, 176, 137, 32);
        QTest::newRow("Frame3") << "Frame3" << -1 << "clientArea" << QRect(0, 392, 409, 121);
        QTest::newRow("lbdae") << "lbdae" << -1 << "Frame3" << QRect(224, 72, 145, 41);
        QTest::newRow("Frame4") << "Frame4" << -1 << "clientArea" << QRect(416, 392, 425, 121);
        QTest::newRow("lbrata") << "lbrata" << -1 << "Frame4" << QRect(192, 16, 169, 33);
        QTest::newRow("Label33 0") << "Label33" << 0 << "Frame4" << QRect(312, 56, 57, 25);
        QTest::newRow("Label33 1") << "Label33" << 1 << "Frame4" << QRect(312, 80, 57, 25);
        QTest::newRow("Eroare") << "Eroare" << -1 << "clientArea" << QRect(0, 392, 841, 121);
        QTest::newRow("Label10") << "Label10" << -1 << "Eroare" << QRect(40, 16, 665, 89);
        QTest::newRow("Frame6") << "Frame6" << -1 << "clientArea" << QRect(0, 392, 409, 121);
        QTest::newRow("Label23") << "Label23" << -1 << "Frame6" << QRect(24, 48, 345, 49);
    }

    void ControlsSitAtTheirPlaces() {
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QString, parent);
        QFETCH(QRect, pixels);
        auto window = openWindow();
        QVERIFY(window);
        QWidget* widget = window->control(name.toStdString(), index);
        QVERIFY(widget);
        QCOMPARE(widget->objectName(), name);
        QCOMPARE(widget->parentWidget()->objectName(), parent);
        QCOMPARE(widget->geometry(), pixels);
    }

    void LabelArrayHasTwoMembers() {
        auto window = openWindow();
        QVERIFY(window);
        const QList<QLabel*> members = window->findChildren<QLabel*>(QStringLiteral("Label33"));
        QCOMPARE(members.size(), 2);
        QCOMPARE(window->control("Label33", 0)->property("index").toInt(), 0);
        QCOMPARE(window->control("Label33", 1)->property("index").toInt(), 1);
        QCOMPARE(window->control("Label33"), nullptr);
    }

    void FontsAsDesigned_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::newRow("window's font on a frame") << "Frame1" << 8.25 << false << false;
        QTest::newRow("title") << "Label1" << 24.0 << true << false;
        QTest::newRow("payment option") << "Check1" << 12.0 << true << true;
        QTest::newRow("input box") << "tbvp" << 15.75 << true << false;
        QTest::newRow("list") << "cbasig" << 9.75 << false << false;
        QTest::newRow("cost caption") << "Label9" << 14.25 << true << true;
        QTest::newRow("cost") << "lbdobaferenta" << 14.25 << true << false;
        QTest::newRow("monthly payment") << "lbrata" << 18.0 << true << false;
        QTest::newRow("first month caption") << "Label16" << 12.0 << false << true;
        QTest::newRow("first month value") << "lbcomisgest" << 9.75 << true << false;
        QTest::newRow("warning") << "Label22" << 14.25 << false << false;
        QTest::newRow("error text") << "Label10" << 14.25 << true << false;
    }

    void FontsAsDesigned() {
        QFETCH(QString, name);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        auto window = openWindow();
        QVERIFY(window);
        const QFont font = window->control(name.toStdString())->font();
        QCOMPARE(font.pointSizeF(), points);
        QCOMPARE(font.bold(), bold);
        QCOMPARE(font.italic(), italic);
        // Neither designed face exists here; the substitute has Arial's metrics.
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
    }

    void CaptionsAlignedAsDesigned() {
        auto window = openWindow();
        QVERIFY(window);
        auto alignment = [&](const char* name) {
            if (auto* box = qobject_cast<QLineEdit*>(window->control(name))) {
                return box->alignment() & Qt::AlignHorizontal_Mask;
            }
            return qobject_cast<QLabel*>(window->control(name))->alignment() &
                   Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(alignment("vn"), Qt::AlignHCenter);
        QCOMPARE(alignment("texvn"), Qt::AlignHCenter);
        QCOMPARE(alignment("lbrata"), Qt::AlignHCenter);
        QCOMPARE(alignment("Label12"), Qt::AlignLeft);
        QCOMPARE(alignment("Label10"), Qt::AlignLeft);
    }

    void ColoursAndLockedBoxes() {
        auto window = openWindow();
        QVERIFY(window);
        const QColor red(192, 0, 0);
        for (const char* name : {"Label10", "Label22", "Label23"}) {
            QCOMPARE(window->control(name)->palette().color(QPalette::WindowText), red);
        }
        QVERIFY(window->control("Label9")->palette().color(QPalette::WindowText) != red);

        const QColor grey = gui::menuGrey();
        for (const char* name : {"tbratatlx", "bnr", "tbsumacc", "tbdob"}) {
            const QPalette palette = window->control(name)->palette();
            QCOMPARE(palette.color(QPalette::Active, QPalette::Base), grey);
            QCOMPARE(palette.color(QPalette::Disabled, QPalette::Base), grey);
        }
        QVERIFY(window->control("vn")->palette().color(QPalette::Base) != grey);

        for (const char* name : {"tbratatlx", "bnr", "tbsumacc"}) {
            auto* box = qobject_cast<QLineEdit*>(window->control(name));
            QVERIFY2(box->isReadOnly() && box->focusPolicy() == Qt::ClickFocus, name);
        }
        auto* tbdob = qobject_cast<QLineEdit*>(window->control("tbdob"));
        QVERIFY(tbdob->isEnabled() && tbdob->isReadOnly() &&
                tbdob->focusPolicy() == Qt::StrongFocus);
    }

    void PicturesOfTheirOwnSize() {
        auto window = openWindow();
        QVERIFY(window);
        const QPixmap wide = qobject_cast<QLabel*>(window->control("Picture1"))->pixmap();
        const QPixmap square = qobject_cast<QLabel*>(window->control("Picture2"))->pixmap();
        QCOMPARE(wide.size(), QSize(240, 80));
        QCOMPARE(square.size(), QSize(110, 96));
        // Drawn, not blank: the corners differ from the middle.
        const QImage image = wide.toImage();
        QVERIFY(image.pixel(120, 40) != image.pixel(0, 0));
    }

    void StackingOfTheBottomBand() {
        auto window = openWindow();
        QVERIFY(window);
        std::vector<QString> band;
        for (QObject* child : window->clientArea()->children()) {
            const QString name = child->objectName();
            if (name == "Frame3" || name == "Frame4" || name == "Eroare" || name == "Frame6") {
                band.push_back(name);
            }
        }
        // Later siblings are drawn over earlier ones.
        QCOMPARE(band, (std::vector<QString>{"Frame3", "Frame4", "Eroare", "Frame6"}));
    }

    void StartUpState() {
        auto window = openWindow();
        QVERIFY(window);
        QCOMPARE(qobject_cast<QLabel*>(window->control("Label1"))->text(),
                 QStringLiteral("CREDIT OMNIRA"));
        QCOMPARE(qobject_cast<QLineEdit*>(window->control("tbdurcred"))->text(),
                 QStringLiteral("60"));
        QCOMPARE(qobject_cast<QComboBox*>(window->control("cbasig"))->currentText(),
                 QStringLiteral("Fara Asigurare"));
        QVERIFY(qobject_cast<QCheckBox*>(window->control("Check1"))->isChecked());
        QVERIFY(!qobject_cast<QCheckBox*>(window->control("Check2"))->isChecked());
        QVERIFY(!window->control("Frame6")->isVisible());
        QVERIFY(!window->control("Label10")->isVisible());
        QVERIFY(window->control("Frame3")->isVisible());
        QVERIFY(window->control("Frame4")->isVisible());
        QCOMPARE(window->form().recalculations(), 2L);
    }

    void BottomBandForEachVerdict_data() {
        QTest::addColumn<QStringList>("typing"); // box, keys, box, keys...
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::newRow("no verdict")
            << QStringList{"vn", "4200", "tbvp", "2000", "tbavans", "200", "tbdurcred", "24"}
            << "Frame3"
            << "Frame4";
        QTest::newRow("validation error")
            << QStringList{"tbvp", "2000", "tbdurcred", "70"} << "Eroare"
            << "Eroare";
        QTest::newRow("indebtedness too high")
            << QStringList{"vn",   "1000",    "ar",  "900",       "tbvp",
                           "2000", "tbavans", "200", "tbdurcred", "24"}
            << "Frame6"
            << "Frame4";
        QTest::newRow("error wins over indebtedness")
            << QStringList{"vn", "1000", "ar", "900", "tbvp", "2000", "tbdurcred", "3"} << "Eroare"
            << "Eroare";
    }

    void BottomBandForEachVerdict() {
        QFETCH(QStringList, typing);
        QFETCH(QString, left);
        QFETCH(QString, right);
        auto window = openWindow();
        QVERIFY(window);
        for (qsizetype i = 0; i + 1 < typing.size(); i += 2) {
            typeInto(*window, typing[i].toLatin1().constData(),
                     typing[i + 1].toLatin1().constData());
        }
        // Points near the bottom of the band, clear of the labels inside the frames.
        QCOMPARE(frameAt(*window->clientArea(), QPoint(200, 508)), left);
        QCOMPARE(frameAt(*window->clientArea(), QPoint(640, 508)), right);
        const bool error = left == "Eroare";
        QCOMPARE(window->control("Eroare")->isVisible(), error);
        QCOMPARE(window->control("Label10")->isVisible(), error);
        QCOMPARE(window->control("Frame6")->isVisible(), left == "Frame6");
        QCOMPARE(window->control("Frame4")->isVisible(), true);
        if (error) {
            const QString text = qobject_cast<QLabel*>(window->control("Label10"))->text();
            QVERIFY2(text.startsWith(QStringLiteral("Durata creditului este prea ")),
                     qPrintable(text));
            QVERIFY(!text.contains(QLatin1Char('\r')));
            QCOMPARE(qobject_cast<QLineEdit*>(window->control("tbratatlx"))->text(), QString());
        }
    }

    void AccessibleNamesAreTheCaptions() {
        auto window = openWindow();
        QVERIFY(window);
        const std::vector<std::pair<const char*, const char*>> names = {
            {"vn", "Venit Net"},
            {"ar", "Alte Rate"},
            {"ad", "Alte Datorii"},
            {"tbratatlx", "Rata TLXF"},
            {"bnr", "Indice BNR"},
            {"tbsumacc", "Valoare maxima bunuri"},
            {"tbvp", "Valoare Produs"},
            {"tbavans", "Avans"},
            {"cbasig", "Prima de asigurare"},
            {"tbdurcred", "Durata Creditului"},
            {"tbdob", "Procent Dobanda"},
            {"lbrata", "Total de Plata"},
            {"lbdae", "DAE"},
            {"lbdobaferenta", "Cost Total"},
            {"lbasig", "Asigurare - prima luna"},
            {"lbcomisgest", "Comision de gestiune - prima luna"},
        };
        for (const auto& [control, caption] : names) {
            QCOMPARE(window->control(control)->accessibleName(), QString::fromLatin1(caption));
        }
    }

    void TabOrderSkipsDisabledBoxes() {
        auto window = openWindow();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto focused = [] {
            QWidget* w = QApplication::focusWidget();
            // The list's text portion has the focus on the list's behalf.
            if (w != nullptr && qobject_cast<QComboBox*>(w->parentWidget()) != nullptr) {
                w = w->parentWidget();
            }
            return w == nullptr ? QString() : w->objectName();
        };
        QCOMPARE(focused(), QStringLiteral("vn"));
        const QStringList expected = {"ar",        "ad",       "tbvp",     "tbavans",
                                      "tbdurcred", "tbdob",    "cbasig",   "Check1",
                                      "Check2",    "Picture1", "Picture2", "vn"};
        QStringList path;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            path << focused();
        }
        QCOMPARE(path, expected);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(focused(), QStringLiteral("Picture2"));
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
