// The agent's own actions on the whole window: the copied summary, the hints on texts not read
// as typed, and a new customer.

#include "tests/support/window_fixture.h"

#include "gui/light_palette.h"
#include "gui/widgets.h"
#include "ui/summary.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMenu>

#include <string>
#include <vector>

using testsupport::openWindow;
using testsupport::shown;
using testsupport::typeInto;

namespace {

// Counts the Show events of the widgets it watches.
class ShowCounter final : public QObject {
public:
    int shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        shown += event->type() == QEvent::Show ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class WindowClientTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::prepareApplication(); }

    void CopyTheSummary() {
        auto window = openWindow();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        typeInto(*window, "vn", "1000");
        typeInto(*window, "ar", "900");
        typeInto(*window, "tbvp", "2000");
        typeInto(*window, "tbavans", "200");
        typeInto(*window, "tbdurcred", "24");
        QApplication::clipboard()->clear();
        QTest::keyClick(window->control("tbdurcred"), Qt::Key_C,
                        Qt::ControlModifier | Qt::ShiftModifier);
        const QString copied = QApplication::clipboard()->text();
        QCOMPARE(copied, QString::fromStdString(ui::summaryText(window->form())));
        QVERIFY(copied.contains(QStringLiteral("Valoare maxima bunuri: REFUZAT\n")));
        QVERIFY(copied.contains(QStringLiteral("Eroare: Indatorare prea mare.")));
        QCOMPARE(shown(window->control("tbdurcred")),
                 QStringLiteral("24")); // the key typed nothing

        auto* copy = window->findChild<QAction*>(QStringLiteral("copySummaryAction"));
        auto* newClient = window->findChild<QAction*>(QStringLiteral("newClientAction"));
        QCOMPARE(window->clientArea()->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(window->clientArea()->actions(), (QList<QAction*>{copy, newClient}));
    }

    void HintsFollowWhatIsTyped() {
        auto window = openWindow();
        QVERIFY(window);
        auto* box = dynamic_cast<gui::TextBox*>(window->control("tbvp"));
        typeInto(*window, "tbvp", "3,500");
        const QString partly =
            QStringLiteral("Se citeste 3; restul textului nu este luat in calcul");
        QCOMPARE(box->hint(), partly);
        QCOMPARE(box->accessibleDescription(), partly);
        QVERIFY(box->tipText().startsWith(partly));
        QCOMPARE(window->form().state().valoareprodus, 3.0); // read exactly as before
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->hint(), partly);
        QTest::keyClick(box, Qt::Key_Backspace); // "3"
        QCOMPARE(box->hint(), QString());
        QCOMPARE(box->accessibleDescription(), QString());

        // The outline is drawn in the error red.
        typeInto(*window, "tbavans", "-50");
        auto* avans = window->control("tbavans");
        const QImage image = avans->grab().toImage();
        QCOMPARE(image.pixelColor(1, image.height() / 2), gui::errorRed);

        auto* list = dynamic_cast<gui::InsuranceList*>(window->control("cbasig"));
        typeInto(*window, "cbasig", "senior");
        QVERIFY(list->hint().startsWith(QStringLiteral("Textul nu este o optiune din lista")));
        QCOMPARE(list->accessibleDescription(), list->hint());
        typeInto(*window, "cbasig", "Senior");
        QCOMPARE(list->hint(), QString());
    }

    void NewClientIsAFreshWindow() {
        auto fresh = openWindow();
        QVERIFY(fresh);
        std::vector<QString> start;
        start.reserve(core::controlCount);
        for (int i = 0; i < core::controlCount; ++i) {
            start.push_back(shown(fresh->control(ui::controlName(static_cast<ui::Control>(i)))));
        }
        const std::string freshSummary = ui::summaryText(fresh->form());
        fresh.reset();

        auto window = openWindow();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        typeInto(*window, "vn", "2500");
        typeInto(*window, "tbvp", "30000");
        typeInto(*window, "tbdurcred", "70");
        typeInto(*window, "cbasig", "x");
        QTest::mouseClick(window->control("Check2"), Qt::LeftButton);
        const long before = window->form().recalculations();

        // The warning panel, hidden now and shown as built, is not shown on the way: a screen
        // reader would announce it.
        QVERIFY(!window->control("Frame6")->isVisible());
        ShowCounter counter;
        window->control("Frame6")->installEventFilter(&counter);

        QTest::keyClick(window->control("cbasig"), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(counter.shown, 0);
        QCOMPARE(window->form().recalculations(), before + 2);
        for (int i = 0; i < core::controlCount; ++i) {
            const auto name = ui::controlName(static_cast<ui::Control>(i));
            QCOMPARE(shown(window->control(name)), start[static_cast<std::size_t>(i)]);
        }
        QCOMPARE(ui::summaryText(window->form()), freshSummary);
        QVERIFY(qobject_cast<QCheckBox*>(window->control("Check1"))->isChecked());
        QVERIFY(!qobject_cast<QCheckBox*>(window->control("Check2"))->isChecked());
        QVERIFY(!window->control("Eroare")->isVisible());
        QCOMPARE(qobject_cast<QComboBox*>(window->control("cbasig"))->count(), 4);
        QCOMPARE(dynamic_cast<gui::InsuranceList*>(window->control("cbasig"))->hint(), QString());
        QVERIFY(window->control("vn")->hasFocus());

        // In the file menu, before the separator above "Iesire"; typing letters is unaffected.
        auto* newClient = window->findChild<QAction*>(QStringLiteral("newClientAction"));
        const QList<QAction*> file = window->fileMenu()->actions();
        QVERIFY(file.indexOf(newClient) >= 0 &&
                file.indexOf(newClient) < file.indexOf(window->quitSeparator()));
        QTest::keyClicks(window->control("vn"), "n");
        QCOMPARE(shown(window->control("vn")), QStringLiteral("n"));
    }
};

QTEST_MAIN(WindowClientTest)
#include "window_client_test.moc"
