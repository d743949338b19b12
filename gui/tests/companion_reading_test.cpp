// The windows that follow the form read as the agent and a screen reader need: the schedule says
// its cents are not the form's unrounded figures, the variants say why their largest product
// value is not the form's, every figure is tied to its caption, the table has no blank band and
// its figure columns widen with the window.

#include "tests/support/window_fixture.h"

#include "gui/schedule_window.h"
#include "gui/variants_window.h"

#include <QAccessible>
#include <QAction>
#include <QGridLayout>
#include <QHeaderView>
#include <QTableView>

using testsupport::openWindow;
using testsupport::typeInto;

namespace {

void typeExample(gui::SimulatorWindow& window) {
    typeInto(window, "vn", "4200");
    typeInto(window, "tbvp", "2000");
    typeInto(window, "tbavans", "200");
    typeInto(window, "tbdurcred", "24");
}

template <class Companion> Companion* open(gui::SimulatorWindow& window, const char* action) {
    window.findChild<QAction*>(QString::fromLatin1(action))->trigger();
    auto* companion = window.openedCompanion<Companion>();
    if (companion == nullptr || !QTest::qWaitForWindowExposed(companion)) {
        return nullptr;
    }
    QApplication::processEvents();
    return companion;
}

QString accessibleName(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// The visible labels of `window` whose text holds `part`.
QList<QLabel*> labelsWith(QWidget* window, const QString& part) {
    QList<QLabel*> out;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->isVisible() && label->text().contains(part)) {
            out << label;
        }
    }
    return out;
}

} // namespace

class CompanionReadingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::prepareApplication(); }

    void ScheduleSaysItsCentsAreNotTheFormsFigures() {
        auto window = openWindow();
        QVERIFY(window);
        typeExample(*window);
        auto* schedule = open<gui::ScheduleWindow>(*window, "scheduleAction");
        QVERIFY(schedule != nullptr);
        QCOMPARE(labelsWith(schedule, QStringLiteral("nerotunjite")).size(), 1);
    }

    void ScheduleFiguresNamedByTheirCaptions() {
        auto window = openWindow();
        QVERIFY(window);
        typeExample(*window);
        auto* schedule = open<gui::ScheduleWindow>(*window, "scheduleAction");
        QVERIFY(schedule != nullptr);
        int named = 0;
        for (int i = 0; i < 9; ++i) {
            auto* value = schedule->findChild<QLabel*>(QStringLiteral("input%1").arg(i));
            QVERIFY(value != nullptr);
            if (value->text().isEmpty()) {
                continue;
            }
            QVERIFY2(!accessibleName(value).isEmpty() && !accessibleName(value).endsWith(u':'),
                     qPrintable(value->text()));
            QVERIFY(accessibleName(value) != value->text());
            ++named;
        }
        QVERIFY(named >= 5);
        for (int i = 0; i < 4; ++i) {
            auto* value = schedule->findChild<QLabel*>(QStringLiteral("summary%1").arg(i));
            QVERIFY(value != nullptr && !accessibleName(value).isEmpty());
        }
        QCOMPARE(accessibleName(schedule->findChild<QLabel*>(QStringLiteral("summary2"))),
                 QStringLiteral("DAE"));
    }

    // A customer refused: the window says why and what follows, at the top, not one sentence
    // lost in an empty window.
    void RefusedScheduleSaysWhyAndWhatFollows() {
        auto window = openWindow();
        QVERIFY(window);
        auto* schedule = open<gui::ScheduleWindow>(*window, "scheduleAction");
        QVERIFY(schedule != nullptr);
        schedule->resize(860, 640);
        QApplication::processEvents();
        QLabel* message = schedule->message();
        QVERIFY(message->isVisible());
        QVERIFY(message->geometry().top() < 40);
        QStringList shown;
        for (QLabel* label : schedule->findChildren<QLabel*>()) {
            if (label->isVisible()) {
                QVERIFY(label->height() >= label->heightForWidth(label->width()));
                shown << label->text();
            }
        }
        QVERIFY2(shown.join(u' ').count(u'.') >= 2, qPrintable(shown.join(u'|')));
    }

    void VariantsAnswersNamedAndExplained() {
        auto window = openWindow();
        QVERIFY(window);
        typeExample(*window);
        auto* variants = open<gui::VariantsWindow>(*window, "variantsAction");
        QVERIFY(variants != nullptr);
        QCOMPARE(accessibleName(variants->answerLabel(0)),
                 QStringLiteral("Avans minim acceptat (durata actuala)"));
        QCOMPARE(accessibleName(variants->answerLabel(2)),
                 QStringLiteral("Valoare produs maxima acceptata (avansul si durata actuale)"));
        // Said on screen, not only in a tooltip: why the form's figure may be lower.
        QCOMPARE(labelsWith(variants, QStringLiteral("\"Valoare maxima bunuri\"")).size(), 1);
        // The rows are read by their durations.
        const QAbstractItemModel* model = variants->table()->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            QCOMPARE(model->headerData(r, Qt::Vertical).toString(),
                     QString::fromStdString(variants->rows()[static_cast<std::size_t>(r)].text));
        }
    }

    void VariantsTableFitsItsRowsAndWidensItsFigures() {
        auto window = openWindow();
        QVERIFY(window);
        typeExample(*window);
        auto* variants = open<gui::VariantsWindow>(*window, "variantsAction");
        QVERIFY(variants != nullptr);
        QTableView* table = variants->table();
        const int row = table->verticalHeader()->defaultSectionSize();
        const int blank = table->viewport()->height() - table->verticalHeader()->length();
        QVERIFY2(blank >= 0 && blank < row, qPrintable(QString::number(blank)));

        const int before = table->columnWidth(2);
        variants->resize(variants->width() + 300, variants->height() + 200);
        QApplication::processEvents();
        QVERIFY2(table->columnWidth(2) > before + 20,
                 qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(table->columnWidth(2))));
        QVERIFY(table->viewport()->height() - table->verticalHeader()->length() < row);
    }
};

QTEST_MAIN(CompanionReadingTest)
#include "companion_reading_test.moc"
