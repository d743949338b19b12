// What the windows that follow the form show for figures that are no amount: never "Infinity",
// "NaN" or a number in exponent notation, whatever the agent types into the form.

#include "tests/support/window_fixture.h"

#include "gui/early_window.h"
#include "gui/schedule_window.h"
#include "gui/variants_window.h"

#include <QAction>
#include <QLabel>
#include <QRegularExpression>
#include <QTableView>

using testsupport::openWindow;
using testsupport::typeInto;

namespace {

// Every text a window shows: its visible labels, its tables' cells and column names.
QStringList textsOf(const QWidget* window) {
    QStringList out;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->isVisibleTo(window)) {
            out << label->text();
        }
    }
    for (const QTableView* table : window->findChildren<QTableView*>()) {
        if (!table->isVisibleTo(window)) {
            continue;
        }
        const QAbstractItemModel* model = table->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            for (int c = 0; c < model->columnCount(); ++c) {
                out << model->index(r, c).data().toString();
            }
        }
    }
    return out;
}

const QRegularExpression& noAmount() {
    static const QRegularExpression pattern(QStringLiteral("Infinity|NaN|\\d[Ee][+-]\\d"));
    return pattern;
}

} // namespace

class CompanionFiguresTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::prepareApplication(); }

    void NoFigureShownAsInfinityNaNOrExponent_data() {
        QTest::addColumn<QStringList>("typing"); // box, keys, box, keys...
        const QString nines(400, QLatin1Char('9'));
        QTest::newRow("empty form") << QStringList{};
        QTest::newRow("product of hundreds of digits") << QStringList{
            QStringLiteral("vn"), QStringLiteral("4200"), QStringLiteral("tbvp"), nines};
        QTest::newRow("down payment of hundreds of digits") << QStringList{
            QStringLiteral("vn"),   QStringLiteral("4200"),    QStringLiteral("tbvp"),
            QStringLiteral("2000"), QStringLiteral("tbavans"), nines};
        QTest::newRow("income of hundreds of digits")
            << QStringList{QStringLiteral("vn"),      nines,
                           QStringLiteral("tbvp"),    QStringLiteral("2000"),
                           QStringLiteral("tbavans"), QStringLiteral("200")};
        QTest::newRow("a product far beyond any credit") << QStringList{
            QStringLiteral("vn"),        QStringLiteral("4200"),
            QStringLiteral("tbvp"),      QStringLiteral("590469130488247000000000000"),
            QStringLiteral("tbdurcred"), QStringLiteral("12")};
        QTest::newRow("other debts of hundreds of digits") << QStringList{
            QStringLiteral("vn"),   QStringLiteral("4200"), QStringLiteral("ad"), nines,
            QStringLiteral("tbvp"), QStringLiteral("2000")};
    }
    void NoFigureShownAsInfinityNaNOrExponent() {
        QFETCH(QStringList, typing);
        auto window = openWindow();
        QVERIFY(window);
        for (qsizetype i = 0; i + 1 < typing.size(); i += 2) {
            typeInto(*window, typing[i].toLatin1().constData(),
                     typing[i + 1].toLatin1().constData());
        }
        for (const char* action : {"scheduleAction", "variantsAction", "earlyAction"}) {
            window->findChild<QAction*>(QString::fromLatin1(action))->trigger();
        }
        QApplication::processEvents(); // the variants follow once the events are handled
        for (const char* name : {"scheduleWindow", "variantsWindow", "earlyWindow"}) {
            auto* companion = window->findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY(companion != nullptr);
            for (const QString& text : textsOf(companion)) {
                QVERIFY2(!noAmount().match(text).hasMatch(),
                         qPrintable(QString::fromLatin1(name) + QStringLiteral(": ") + text));
            }
        }
    }
};

QTEST_MAIN(CompanionFiguresTest)
#include "companion_figures_test.moc"
