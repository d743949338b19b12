// Every caption shows whole, at the desktop scale this process runs at (CTest runs it at 100 %,
// 125 % and 150 % through QT_SCALE_FACTOR). The fonts are the substitutes for the designed faces,
// with Arial's metrics.

#include "tests/support/window_fixture.h"

#include "gui/widgets.h"
#include "tariff/read.h"
#include "tariff/write.h"
#include "ui/tariff_choice.h"

#include <QAction>
#include <QHeaderView>
#include <QTableView>

#include <QFontMetricsF>
#include <QGroupBox>
#include <QImage>
#include <QRegularExpression>

#include <algorithm>

using testsupport::openWindow;

class WindowTextFitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::prepareApplication(); }

    void CaptionsFitTheirLabels() {
        auto window = openWindow();
        QVERIFY(window);
        const QByteArray scale = qgetenv("QT_SCALE_FACTOR");
        QCOMPARE(window->devicePixelRatioF(), scale.isEmpty() ? 1.0 : scale.toDouble());
        int checked = 0;
        for (QLabel* label : window->clientArea()->findChildren<QLabel*>()) {
            const QString text = label->text();
            if (text.trimmed().isEmpty() || !label->pixmap().isNull()) {
                continue;
            }
            ++checked;
            const QFontMetricsF metrics(label->font(), label);
            const QByteArray name = label->objectName().toLatin1() + ": " + text.toLatin1();
            qreal widest = 0;
            for (const QString& word : text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
                widest = std::max(widest, metrics.horizontalAdvance(word));
            }
            QVERIFY2(widest <= label->width(), name.constData());
            const QRectF needed =
                metrics.boundingRect(QRectF(0, 0, label->width(), 10000),
                                     static_cast<int>(Qt::TextWordWrap | label->alignment()), text);
            QVERIFY2(needed.height() <= label->height(), name.constData());
        }
        QCOMPARE(checked, 36); // every caption, unit and figure the window shows at start-up
    }

    // What the agent sees of the units: no ink in a label's outermost device pixels, where the
    // text would be cut, and no neighbour under the widened label.
    void UnitsDrawnWhole() {
        auto window = openWindow();
        QVERIFY(window);
        int units = 0;
        for (QLabel* label : window->clientArea()->findChildren<QLabel*>()) {
            if (label->text() != "RON" && label->text() != "LUNI") {
                continue;
            }
            ++units;
            const QByteArray name = label->objectName().toLatin1();
            const QImage image = label->grab().toImage();
            const QColor background = label->palette().color(QPalette::Window);
            for (const int x : {0, image.width() - 1}) {
                for (int y = 0; y < image.height(); ++y) {
                    QVERIFY2(image.pixelColor(x, y) == background,
                             (name + " ink at the edge x=" + QByteArray::number(x)).constData());
                }
            }
            int ink = 0;
            for (int x = 0; x < image.width(); ++x) {
                for (int y = 0; y < image.height(); ++y) {
                    ink += image.pixelColor(x, y) != background ? 1 : 0;
                }
            }
            QVERIFY2(ink > 0, name.constData());
            QVERIFY2(label->geometry().right() < label->parentWidget()->width() - 2,
                     (name + " over the frame's border").constData());
        }
        QCOMPARE(units, 12);
    }

    // A lender's heading longer than the designed one is shown whole, in one line, in its box.
    void LongLenderHeadingShownWhole() {
        std::string text = tariff::write(tariff::builtIn());
        const std::string designed = "\"CREDIT OMNIRA\"";
        text.replace(text.find(designed), designed.size(), "\"CREDIT OMNIRA PLUS ELECTROCASNICE\"");
        ui::TariffChoice lender;
        lender.file = "tarif.json";
        lender.fromFile = tariff::read(text).tariff;
        QVERIFY(lender.fromFile);
        gui::SimulatorWindow window(lender);
        window.load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* heading = qobject_cast<QLabel*>(window.control("Label1"));
        QCOMPARE(heading->text(), QStringLiteral("CREDIT OMNIRA PLUS ELECTROCASNICE"));
        const QFontMetricsF metrics(heading->font(), heading);
        QVERIFY2(metrics.horizontalAdvance(heading->text()) <= heading->width(),
                 qPrintable(QString::number(heading->font().pointSizeF())));
        QVERIFY(metrics.height() <= heading->height());
    }

    // The companion tables' column names whole, at the window's own size.
    void TableColumnsFitTheirHeaders() {
        auto window = openWindow();
        QVERIFY(window);
        testsupport::typeInto(*window, "vn", "4200");
        testsupport::typeInto(*window, "tbvp", "2000");
        testsupport::typeInto(*window, "tbavans", "200");
        testsupport::typeInto(*window, "tbdurcred", "24");
        for (const char* action : {"scheduleAction", "variantsAction", "earlyAction"}) {
            window->findChild<QAction*>(QString::fromLatin1(action))->trigger();
        }
        QApplication::processEvents();
        int tables = 0;
        for (QTableView* table : window->findChildren<QTableView*>()) {
            if (!table->isVisible()) {
                continue;
            }
            ++tables;
            const QHeaderView* header = table->horizontalHeader();
            for (int c = 0; c < header->count(); ++c) {
                QVERIFY2(header->sectionSize(c) >= header->sectionSizeHint(c),
                         qPrintable(table->objectName() + QStringLiteral(" column %1: %2 < %3")
                                                              .arg(c)
                                                              .arg(header->sectionSize(c))
                                                              .arg(header->sectionSizeHint(c))));
            }
        }
        QVERIFY(tables >= 2); // the schedule and the variants; early repayment once asked for
    }

    // A percentage too long for its label is cut in its digits: the "%" stays.
    void ElidedPercentageKeepsItsSign() {
        QWidget row;
        row.resize(320, 60);
        auto* figure = new gui::ElidedLabel(&row);
        figure->setGeometry(10, 10, 120, 24);
        figure->setText(QStringLiteral("12345678901234567890.00  %"));
        const QString shown = figure->shownText();
        QVERIFY2(shown != figure->text() && shown.endsWith(QStringLiteral("  %")),
                 qPrintable(shown));
        QVERIFY(shown.startsWith(QLatin1Char('1')));
        QVERIFY(figure->fontMetrics().horizontalAdvance(shown) <= figure->width());
    }

    // A figure too long for its label is drawn in the span its neighbours leave it: from the
    // first pixel past the left neighbour to the right neighbour's first pixel, not on them.
    void ElidedFigureKeepsOffItsNeighbours() {
        QWidget row;
        row.resize(320, 60);
        auto* before = new QLabel(QStringLiteral("Rata"), &row);
        before->setGeometry(10, 10, 100, 24);
        auto* figure = new gui::ElidedLabel(&row);
        figure->setGeometry(100, 10, 170, 24);
        figure->setText(QString(80, QLatin1Char('9')));
        auto* after = new QLabel(QStringLiteral("RON"), &row);
        after->setGeometry(260, 10, 50, 24);
        gui::fitLabels(&row);
        QVERIFY(figure->shownText() != figure->text());
        const int start = figure->x() + figure->shownLeft();
        QCOMPARE(start, before->geometry().right() + 1);
        const int end = start + figure->fontMetrics().horizontalAdvance(figure->shownText());
        QVERIFY2(end <= after->x(), QByteArray::number(end).constData());
    }
};

QTEST_MAIN(WindowTextFitTest)
#include "window_text_fit_test.moc"
