// The windows that follow the form behave like the desktop's tool windows: placed beside the
// form inside the screen, closed by Esc or Ctrl+W, their tables named and copied whole; and
// the program's shortcuts work from every widget of every one of its windows.

#include "tests/support/window_fixture.h"

#include "gui/companion_window.h"
#include "gui/early_window.h"
#include "gui/light_palette.h"
#include "gui/offer_actions.h"
#include "gui/schedule_window.h"
#include "gui/variants_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>

#include <map>

using testsupport::openWindow;
using testsupport::typeInto;

namespace {

void typeExample(gui::SimulatorWindow& window) {
    typeInto(window, "vn", "4200"); // an assessed customer: documents are issued only then
    typeInto(window, "tbvp", "2000");
    typeInto(window, "tbavans", "200");
    typeInto(window, "tbdurcred", "24");
}

bool activate(QWidget* window) {
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// What a desktop whose key scheme gives Ctrl+E to line edits does: the box claims the key.
class ClaimsEveryKey final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
        }
        return false;
    }
};

} // namespace

class CompanionWindowTest : public QObject {
    Q_OBJECT

private slots:
    // A dark desktop theme, as the platform would give it before the program starts.
    void initTestCase() {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(30, 30, 30));
        dark.setColor(QPalette::WindowText, Qt::white);
        dark.setColor(QPalette::Base, QColor(20, 20, 20));
        dark.setColor(QPalette::Text, Qt::white);
        QApplication::setPalette(dark);
        gui::prepareApplication();
    }

    // Every window of the program, and the toolkit's boxes over it, in the form's light colours.
    void DarkDesktopKeepsEveryWindowLight() {
        auto window = openWindow();
        QVERIFY(window);
        typeExample(*window);
        for (const char* action : {"scheduleAction", "variantsAction", "earlyAction"}) {
            window->findChild<QAction*>(QString::fromLatin1(action))->trigger();
        }
        QMessageBox box(QMessageBox::Information, QStringLiteral("Despre"), QStringLiteral("x"),
                        QMessageBox::Ok, window.get());
        box.show();
        const QPalette light = gui::lightPalette();
        int windows = 0;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible()) {
                continue;
            }
            ++windows;
            for (const QPalette::ColorRole role :
                 {QPalette::Window, QPalette::WindowText, QPalette::Base, QPalette::Text}) {
                QVERIFY2(top->palette().color(role) == light.color(role),
                         qPrintable(top->objectName()));
            }
        }
        QCOMPARE(windows, 5);
    }

    void PlacedBesideTheFormInsideTheScreen() {
        const QRect form(0, 0, 860, 600);
        const QSize size(700, 500);
        // Room on the right.
        QCOMPARE(gui::besideForm(form, size, QRect(0, 0, 1920, 1040)), QRect(860, 0, 700, 500));
        // No room on either side: below the form.
        const QRect small(0, 0, 1366, 1400);
        QCOMPARE(gui::besideForm(form, size, small), QRect(0, 600, 700, 500));
        // No room anywhere (1366 x 768): inside the screen, shrunk to it when larger.
        const QRect laptop(0, 0, 1366, 728);
        for (const QSize s : {size, QSize(1500, 900)}) {
            const QRect at = gui::besideForm(form, s, laptop);
            QVERIFY(laptop.contains(at));
            QCOMPARE(at.size(), s.boundedTo(laptop.size()));
        }
        // A form on the right half: the window goes to its left.
        QCOMPARE(gui::besideForm(form.translated(1000, 0), size, QRect(0, 0, 1920, 1040)),
                 QRect(300, 0, 700, 500));
    }

    void EscapeAndControlWCloseTablesAreNamed() {
        auto window = openWindow();
        QVERIFY(window);
        typeExample(*window);
        gui::OfferActions& actions = *window->offerActions();
        for (const QKeyCombination close :
             {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::ControlModifier, Qt::Key_W)}) {
            actions.showSchedule();
            gui::ScheduleWindow* schedule = actions.scheduleWindow();
            QVERIFY(QTest::qWaitForWindowExposed(schedule) && activate(schedule));
            QVERIFY(schedule->screen()->availableGeometry().contains(schedule->frameGeometry()));
            schedule->table()->setFocus();
            QTest::keyClick(schedule->table(), close.key(), close.keyboardModifiers());
            QVERIFY(schedule->isHidden());
        }
        auto* variants = window->openCompanion<gui::VariantsWindow>();
        QVERIFY(QTest::qWaitForWindowExposed(variants) && activate(variants));
        QTableView* table = variants->table();
        QVERIFY(!table->accessibleName().isEmpty());
        QVERIFY(!actions.scheduleWindow()->table()->accessibleName().isEmpty());
    }

    void ControlACopiesTheWholeTableWithItsHeaders() {
        auto window = openWindow();
        QVERIFY(window);
        typeExample(*window);
        auto* schedule = window->openCompanion<gui::ScheduleWindow>();
        QVERIFY(QTest::qWaitForWindowExposed(schedule) && activate(schedule));
        QTableView* table = schedule->table();
        table->setFocus();
        QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        const QStringList lines =
            QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QAbstractItemModel* model = table->model();
        QCOMPARE(lines.size(), model->rowCount() + 1);
        QVERIFY(lines[0].contains(QStringLiteral("Comision gestiune")));
        for (int r = 0; r < model->rowCount(); ++r) {
            const QStringList cells = lines[r + 1].split(QLatin1Char('\t'));
            QCOMPARE(cells.size(), model->columnCount());
            QCOMPARE(cells.last(), model->index(r, model->columnCount() - 1).data().toString());
        }
    }

    // Each entry's shortcut, from each widget that can take the focus in each of the windows.
    void EveryShortcutFromEveryWidgetOfEveryWindow() {
        auto window = openWindow();
        QVERIFY(window);
        typeExample(*window);
        auto* early = window->openCompanion<gui::EarlyWindow>();
        early->partButton()->click(); // the amount box and the months' table take the focus too
        early->amountBox()->setText(QStringLiteral("500"));
        Q_EMIT early->amountBox()->textEdited(QStringLiteral("500"));
        QList<QWidget*> windows{window.get(), window->openCompanion<gui::ScheduleWindow>(),
                                window->openCompanion<gui::VariantsWindow>(), early};
        std::map<QAction*, int> fired;
        for (QAction* action : window->programActions()) {
            QVERIFY(action->isEnabled());
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
            QObject::connect(action, &QAction::triggered, window.get(),
                             [&fired, action] { ++fired[action]; });
        }
        int tried = 0;
        for (QWidget* top : windows) {
            QVERIFY(QTest::qWaitForWindowExposed(top) && activate(top));
            QList<QWidget*> widgets = top->findChildren<QWidget*>();
            widgets.prepend(top);
            for (QWidget* widget : widgets) {
                if (widget->window() != top || !widget->isVisible() ||
                    (widget->focusPolicy() & Qt::TabFocus) == 0 || widget->focusProxy()) {
                    continue;
                }
                widget->setFocus();
                auto* claim = new ClaimsEveryKey(widget);
                widget->installEventFilter(claim);
                for (QAction* action : window->programActions()) {
                    const QKeySequence key = action->shortcut();
                    if (key.isEmpty()) {
                        continue;
                    }
                    const int before = fired[action];
                    QTest::keyClick(widget, key[0].key(), key[0].keyboardModifiers());
                    QVERIFY2(fired[action] == before + 1,
                             qPrintable(key.toString() + QStringLiteral(" from ") +
                                        top->objectName() + QLatin1Char('/') +
                                        widget->objectName() + QLatin1Char(' ') +
                                        widget->metaObject()->className()));
                    ++tried;
                }
                delete claim;
            }
        }
        QVERIFY(tried > 50);
    }

    // The export happens with the caret in a box that claims Ctrl+E, and the save dialog opens
    // where the agent saved last time.
    void ExportFromATextBoxIntoTheLastFolder() {
        auto window = openWindow();
        QVERIFY(window);
        typeExample(*window);
        gui::OfferActions& actions = *window->offerActions();
        QTemporaryDir folder;
        QStringList proposed;
        actions.choosePath = [&](const QString&, const QString& path, const QString&) {
            proposed << path;
            return folder.filePath(QStringLiteral("grafic.csv"));
        };
        for (const char* name : {"tbvp", "cbasig"}) {
            QWidget* box = window->control(name);
            if (auto* list = qobject_cast<QComboBox*>(box)) {
                box = list->lineEdit();
            }
            box->setFocus();
            box->installEventFilter(new ClaimsEveryKey(box));
            QFile::remove(folder.filePath(QStringLiteral("grafic.csv")));
            QTest::keyClick(box, Qt::Key_E, Qt::ControlModifier);
            QVERIFY2(QFile::exists(folder.filePath(QStringLiteral("grafic.csv"))), name);
        }
        QCOMPARE(proposed.size(), 2);
        QVERIFY(!proposed[0].startsWith(folder.path()));
        QVERIFY(proposed[1].startsWith(folder.path() + QLatin1Char('/')));
        QVERIFY(proposed[1].endsWith(actions.proposedName(QStringLiteral("csv"))));
    }
};

QTEST_MAIN(CompanionWindowTest)
#include "companion_window_test.moc"
