// The window's binding to the control model: keystrokes, clicks and choices made on the real
// widgets reach the model once, and what the widgets show is what the model holds.

#include "tests/support/window_fixture.h"

#include "offer/offer_text.h"
#include "ui/form1.h"
#include "ui/tariff_choice.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>
#include <utility>
#include <vector>

using core::Control;
using testsupport::openWindow;
using testsupport::shown;
using testsupport::typeInto;

namespace {

struct Keystrokes {
    ui::Control box;
    const char* name;
    std::string keys;
};

// The same simulation replayed on a Form1 without any toolkit, as the batch tool runs it: every
// keystroke is one text change of the box.
void replay(ui::Form1& form, const std::vector<Keystrokes>& typing) {
    for (const auto& [box, name, keys] : typing) {
        for (std::size_t n = 1; n <= keys.size(); ++n) {
            form.controls().setText(box, keys.substr(0, n));
        }
    }
}

QString withLineBreaks(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// Every control of the window model against the reference, and every widget against its model.
void compareWithReference(gui::SimulatorWindow& window, const ui::Form1& reference) {
    const ui::ControlModel& model = window.form().controls();
    for (int i = 0; i < core::controlCount; ++i) {
        const auto c = static_cast<ui::Control>(i);
        const auto name = std::string(ui::controlName(c));
        const ui::ControlData& got = model.data(c);
        const ui::ControlData& want = reference.controls().data(c);
        QVERIFY2(got.text == want.text, (name + ": " + got.text + " / " + want.text).c_str());
        QVERIFY2(got.caption == want.caption, name.c_str());
        QVERIFY2(got.visible == want.visible, name.c_str());
        QVERIFY2(got.value == want.value, name.c_str());
        QVERIFY2(got.listIndex == want.listIndex, name.c_str());
        QWidget* widget = window.control(name);
        QVERIFY2(widget != nullptr, name.c_str());
        if (c != ui::Control::Form1) {
            QVERIFY2(widget->isVisible() == want.visible, name.c_str());
        }
        if (qobject_cast<QLabel*>(widget)) {
            QCOMPARE(shown(widget), withLineBreaks(want.caption));
        } else if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget)) {
            QCOMPARE(shown(widget), withLineBreaks(want.text));
        }
    }
    QCOMPARE(window.windowTitle(),
             QString::fromStdString(reference.controls().caption(ui::Control::Form1)));
}

// Closes every modal box that opens while it runs, as the agent pressing OK, and notes it.
void writeFile(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class BoxCloser {
public:
    BoxCloser() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            seen.push_back({box->windowTitle(), box->text(), box->detailedText(), box->icon(),
                            box->standardButtons(), box->isModal()});
            if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                QTest::mouseClick(ok, Qt::LeftButton);
            } else {
                box->reject();
            }
        });
        timer_.start();
    }

    struct Seen {
        QString title;
        QString text;
        QString details;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        bool modal;
    };
    std::vector<Seen> seen;

private:
    QTimer timer_;
};

QPoint indicatorOf(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    return box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center();
}

} // namespace

class WindowBindingTest : public QObject {
    Q_OBJECT

    // Every test runs with a closer, so that a box nobody expected fails the test instead of
    // waiting for ever.
    std::unique_ptr<BoxCloser> boxes_;

private slots:
    void initTestCase() { gui::prepareApplication(); }
    void init() { boxes_ = std::make_unique<BoxCloser>(); }
    // A test that expects a box checks and clears what it saw.
    void cleanup() {
        QVERIFY2(boxes_->seen.empty(), "a message box was shown");
        boxes_.reset();
    }

    void TypedSimulationMatchesModelRun_data() {
        QTest::addColumn<std::vector<Keystrokes>>("typing");
        QTest::newRow("product only")
            << std::vector<Keystrokes>{{ui::Control::tbvp, "tbvp", "2000"},
                                       {ui::Control::tbavans, "tbavans", "200"},
                                       {ui::Control::tbdurcred, "tbdurcred", "24"}};
        QTest::newRow("customer and product") << std::vector<Keystrokes>{
            {ui::Control::vn, "vn", "4200"},          {ui::Control::ar, "ar", "350"},
            {ui::Control::ad, "ad", "100"},           {ui::Control::tbvp, "tbvp", "3500"},
            {ui::Control::tbavans, "tbavans", "500"}, {ui::Control::tbdurcred, "tbdurcred", "36"}};
        QTest::newRow("income too low")
            << std::vector<Keystrokes>{{ui::Control::vn, "vn", "1000"},
                                       {ui::Control::ar, "ar", "900"},
                                       {ui::Control::tbvp, "tbvp", "2000"},
                                       {ui::Control::tbavans, "tbavans", "200"},
                                       {ui::Control::tbdurcred, "tbdurcred", "24"}};
        QTest::newRow("duration out of range") << std::vector<Keystrokes>{
            {ui::Control::tbvp, "tbvp", "2000"}, {ui::Control::tbdurcred, "tbdurcred", "70"}};
        QTest::newRow("text that is not a number") << std::vector<Keystrokes>{
            {ui::Control::tbvp, "tbvp", "12a,5"}, {ui::Control::tbavans, "tbavans", "-"}};
    }

    void TypedSimulationMatchesModelRun() {
        QFETCH(std::vector<Keystrokes>, typing);
        auto window = openWindow();
        QVERIFY(window);
        ui::MessageLog log;
        ui::Form1 reference(log);
        reference.Form_Load();
        compareWithReference(*window, reference);

        for (const auto& [box, name, keys] : typing) {
            typeInto(*window, name, keys.c_str());
        }
        replay(reference, typing);
        compareWithReference(*window, reference);
        QCOMPARE(window->form().recalculations(), reference.recalculations());
        QVERIFY(log.shown.empty());
    }

    void EachKeystrokeRecalculatesOnce() {
        auto window = openWindow();
        QVERIFY(window);
        const ui::Form1& form = window->form();
        for (const char* name : {"vn", "ar", "ad", "tbvp", "tbavans", "tbdurcred"}) {
            QWidget* box = window->control(name);
            box->setFocus();
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            long before = form.recalculations();
            QTest::keyClick(box, Qt::Key_7);
            QCOMPARE(form.recalculations(), before + 1);
            before = form.recalculations();
            QTest::keyClick(box, Qt::Key_Backspace);
            QCOMPARE(form.recalculations(), before + 1);
        }
        // A key that changes nothing (the caret moves) raises nothing.
        QWidget* tbvp = window->control("tbvp");
        const long before = form.recalculations();
        QTest::keyClick(tbvp, Qt::Key_Home);
        QCOMPARE(form.recalculations(), before);
    }

    void CaretStaysWhereTheAgentTypes() {
        auto window = openWindow();
        QVERIFY(window);
        typeInto(*window, "tbvp", "1234");
        auto* box = qobject_cast<QLineEdit*>(window->control("tbvp"));
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClick(box, Qt::Key_Right);
        QTest::keyClicks(box, QStringLiteral("9"));
        QCOMPARE(box->text(), QStringLiteral("19234"));
        QCOMPARE(box->cursorPosition(), 2);
        QCOMPARE(window->form().controls().text(ui::Control::tbvp), std::string("19234"));
    }

    // The rate comes from the grid: typing into its box changes nothing, and the box can still be
    // reached, selected and copied.
    void InterestBoxIsReadOnly() {
        auto window = openWindow();
        QVERIFY(window);
        typeInto(*window, "tbvp", "2000");
        auto* tbdob = qobject_cast<QLineEdit*>(window->control("tbdob"));
        const QString rate = tbdob->text();
        const std::string modelText = window->form().controls().text(ui::Control::tbdob);
        const long before = window->form().recalculations();
        typeInto(*window, "tbdob", "5.00%");
        QCOMPARE(tbdob->text(), rate);
        QCOMPARE(window->form().controls().text(ui::Control::tbdob), modelText);
        QCOMPARE(window->form().recalculations(), before);
        QVERIFY(tbdob->hasFocus() && tbdob->hasSelectedText());
        QCOMPARE(tbdob->selectedText(), rate);
    }

    void PaymentPairClickedWithTheMouse() {
        auto window = openWindow();
        QVERIFY(window);
        auto* check1 = qobject_cast<QCheckBox*>(window->control("Check1"));
        auto* check2 = qobject_cast<QCheckBox*>(window->control("Check2"));
        const ui::ControlModel& model = window->form().controls();

        struct Step {
            QCheckBox* clicked;
            bool check1After;
        };
        for (const Step step :
             {Step{check2, false}, Step{check2, true}, Step{check1, false}, Step{check1, true}}) {
            const long before = window->form().recalculations();
            QTest::mouseClick(step.clicked, Qt::LeftButton, {}, indicatorOf(step.clicked));
            QCOMPARE(window->form().recalculations(), before + 1);
            QCOMPARE(check1->isChecked(), step.check1After);
            QCOMPARE(check2->isChecked(), !step.check1After);
            QCOMPARE(model.value(ui::Control::Check1), step.check1After ? 1 : 0);
            QCOMPARE(model.value(ui::Control::Check2), step.check1After ? 0 : 1);
        }
        // The keyboard works the pair too: Space on the focused box.
        check2->setFocus();
        QTest::keyClick(check2, Qt::Key_Space);
        QVERIFY(check2->isChecked());
        QVERIFY(!check1->isChecked());
        QCOMPARE(model.value(ui::Control::Check2), 1);
    }

    void InsuranceListChosenAndTyped() {
        auto window = openWindow();
        QVERIFY(window);
        typeInto(*window, "tbvp", "2000");
        auto* list = qobject_cast<QComboBox*>(window->control("cbasig"));
        const ui::ControlModel& model = window->form().controls();
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->itemText(3), QStringLiteral("Senior"));
        QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(shown(window->control("lbasig")), QStringLiteral("0"));

        list->setFocus();
        long before = window->form().recalculations();
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(window->form().recalculations(), before + 1);
        QCOMPARE(model.listIndex(ui::Control::cbasig), 1);
        QCOMPARE(model.text(ui::Control::cbasig), std::string("Standard"));
        QCOMPARE(list->currentText(), QStringLiteral("Standard"));
        QVERIFY(shown(window->control("lbasig")) != QStringLiteral("0")); // the choice counted

        // Typed text that is no item leaves nothing selected; each key recalculates once.
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        before = window->form().recalculations();
        QTest::keyClicks(list, QStringLiteral("Opt"));
        QCOMPARE(window->form().recalculations(), before + 3);
        QCOMPARE(model.listIndex(ui::Control::cbasig), -1);
        QCOMPARE(list->lineEdit()->text(), QStringLiteral("Opt"));
        QCOMPARE(list->lineEdit()->cursorPosition(), 3);
        QTest::keyClicks(list, QStringLiteral("im"));
        QCOMPARE(model.listIndex(ui::Control::cbasig), 2);
        QCOMPARE(list->currentIndex(), 2);
        QCOMPARE(list->lineEdit()->text(), QStringLiteral("Optim"));

        // Return neither adds an item nor chooses one.
        QTest::keyClick(list, Qt::Key_Backspace);
        before = window->form().recalculations();
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(window->form().recalculations(), before);
        QCOMPARE(list->count(), 4);
        QCOMPARE(model.listIndex(ui::Control::cbasig), -1);
    }

    // A recalculation abandoned by a runtime error (made by hand: a commission rate no tariff
    // allows, at a fractional duration no band covers) marks the figures as not current until a
    // recalculation completes; the fault is logged.
    void AbandonedRecalculationShowsTheNotice() {
        auto window = openWindow();
        QVERIFY(window);
        auto* notice = window->findChild<QLabel*>(QStringLiteral("faultNotice"));
        QVERIFY(notice);
        QVERIFY(!notice->isVisible());
        typeInto(*window, "tbvp", "1000");
        typeInto(*window, "tbdurcred", "5");
        window->form().state().comgestdd = -1.5;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("recalculation abandoned"));
        QTest::keyClicks(window->control("tbdurcred"), QStringLiteral(".5"));
        QVERIFY(notice->isVisible());
        QVERIFY(notice->toolTip().contains(QStringLiteral("Invalid power")));
        typeInto(*window, "tbdurcred", "12");
        QVERIFY(!notice->isVisible());
    }

    void DurationAbove550ShowsTheBoxAndBecomes60() {
        auto window = openWindow();
        QVERIFY(window);
        BoxCloser& closer = *boxes_;
        typeInto(*window, "tbdurcred", "55");
        QVERIFY(closer.seen.empty());
        QTest::keyClicks(window->control("tbdurcred"), QStringLiteral("1"));
        QCOMPARE(closer.seen.size(), std::size_t{1});
        const auto& box = closer.seen.front();
        QCOMPARE(box.title, QStringLiteral("EROARE"));
        QCOMPARE(box.text, QStringLiteral("Valoare nepermisa!"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(box.modal);
        QCOMPARE(shown(window->control("tbdurcred")), QStringLiteral("60"));
        QCOMPARE(window->form().controls().text(ui::Control::tbdurcred), std::string("60"));
        QVERIFY(!window->control("Eroare")->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        closer.seen.clear();
    }

    // A tariff file that fails its checks: one box naming it and its problems, then the window
    // runs on the built-in tariff and says so in its title bar only.
    void BadTariffFileShowsTheBoxAndRunsOnTheBuiltIn() {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("tarif.json"));
        writeFile(file, "{\"format\": \"simulator-credit-tarif\", \"version\": 2}");
        gui::SimulatorWindow window(ui::chooseTariff(file.toStdString()));
        window.load();
        BoxCloser& closer = *boxes_;
        QCOMPARE(closer.seen.size(), std::size_t{1});
        QCOMPARE(closer.seen.front().title, QStringLiteral("Tarif"));
        QVERIFY(closer.seen.front().text.contains(file));
        // In the agent's language, places in words; the pointers are the details' business.
        QVERIFY2(closer.seen.front().text.contains(QStringLiteral("Creditul: lipseste")),
                 qPrintable(closer.seen.front().text));
        QVERIFY(!closer.seen.front().text.contains(QStringLiteral("/credit")));
        // The pointers are under "Detalii", for the lender's IT.
        QVERIFY2(closer.seen.front().details.contains(QStringLiteral("/credit")),
                 qPrintable(closer.seen.front().details));
        QCOMPARE(window.windowTitle(), QStringLiteral("Simulator Credit Omnira - tarif implicit"));
        QCOMPARE(window.form().controls().caption(ui::Control::Form1),
                 std::string("Simulator Credit Omnira"));
        QCOMPARE(window.form().controls().data(ui::Control::cbasig).items.size(), std::size_t{4});
        QCOMPARE(window.form().state().comacord, 0.087);
        closer.seen.clear();
    }

    // A file that cannot be read: the box says why in the agent's words, the system's own under
    // "Detalii".
    void UnreadableTariffFileNamesTheReason() {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("absent.json"));
        gui::SimulatorWindow window(ui::chooseTariff(file.toStdString()));
        window.load();
        BoxCloser& closer = *boxes_;
        QCOMPARE(closer.seen.size(), std::size_t{1});
        QVERIFY2(closer.seen.front().text.contains(QStringLiteral("fisierul nu exista")),
                 qPrintable(closer.seen.front().text));
        QVERIFY2(closer.seen.front().details.contains(QStringLiteral("No such file")),
                 qPrintable(closer.seen.front().details));
        closer.seen.clear();
    }

    // A good file: its name and date after the caption, its figures in the form; no box.
    void TariffFileNamedInTheTitleBar() {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("tarif.json"));
        QFile example(QStringLiteral(SIMCREDIT_EXAMPLE_TARIFF));
        QVERIFY(example.open(QIODevice::ReadOnly));
        writeFile(file, QString::fromUtf8(example.readAll())
                            .replace(QStringLiteral("Tarif standard"), QStringLiteral("Tarif Nord"))
                            .replace(QStringLiteral("0.087"), QStringLiteral("0.1"))
                            .toUtf8());
        gui::SimulatorWindow window(ui::chooseTariff(file.toStdString()));
        window.load();
        QCOMPARE(window.windowTitle(),
                 QStringLiteral("Simulator Credit Omnira - Tarif Nord (2026-12-01)"));
        QCOMPARE(window.form().state().comacord, 0.1);
        QVERIFY(window.tariffChoice().description().find(file.toStdString()) != std::string::npos);

        // Client nou: the next customer is figured on the same lender's tariff.
        auto customer = [&window] {
            for (const char* name : {"tbvp", "tbavans"}) {
                auto* box = qobject_cast<QLineEdit*>(window.control(name));
                box->clear();
                QTest::keyClicks(box, QString::fromLatin1(name[2] == 'v' ? "2000" : "200"));
            }
            return window.form().controls().caption(ui::Control::lbrata);
        };
        const std::string before = customer();
        auto* newClient = window.findChild<QAction*>(QStringLiteral("newClientAction"));
        QVERIFY(newClient != nullptr);
        newClient->trigger();
        QCOMPARE(window.form().state().comacord, 0.1);
        QCOMPARE(customer(), before);
        QCOMPARE(window.windowTitle(),
                 QStringLiteral("Simulator Credit Omnira - Tarif Nord (2026-12-01)"));
        // The documents and the about box name the tariff the figures come from.
        QCOMPARE(offer::offerText(window.form()).subtitle, "Tarif: Tarif Nord (2026-12-01)");
        window.findChild<QAction*>(QStringLiteral("aboutAction"))->trigger();
        auto* about = window.findChild<QMessageBox*>(QStringLiteral("aboutBox"));
        QVERIFY(about != nullptr);
        QVERIFY2(about->informativeText().contains(file), qPrintable(about->informativeText()));
        about->close();
    }
};

QTEST_MAIN(WindowBindingTest)
#include "window_binding_test.moc"
