// Every caption shows whole, at the desktop scale this process runs at (CTest runs it at 100 %,
// 125 % and 150 % through QT_SCALE_FACTOR). The fonts are the substitutes for the designed faces,
// with Arial's metrics.

#include "tests/support/window_fixture.h"

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
        for (QLabel* label : window->clientArea()->findChildren<QLabel*>()) {
            const QString text = label->text();
            if (text.trimmed().isEmpty() || !label->pixmap().isNull()) {
                continue;
            }
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
};

QTEST_MAIN(WindowTextFitTest)
#include "window_text_fit_test.moc"
