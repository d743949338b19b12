// The offer in the window: the schedule window follows the form without touching it, the menu
// entries follow the form's verdict, the shortcuts leave typing alone, and the files written
// hold the window's figures, whole or not at all.

#include "tests/support/window_fixture.h"

#include "batch/csv.h"
#include "gui/offer_actions.h"
#include "gui/offer_document.h"
#include "gui/schedule_window.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextDocument>

#include <fstream>
#include <memory>

using testsupport::openWindow;
using testsupport::typeInto;

namespace {

// 2000 with 200 down over 24 months, insured "Standard": the worked example.
void typeExample(gui::SimulatorWindow& window, const char* months = "24") {
    typeInto(window, "vn", "4200"); // an assessed customer: documents are issued only then
    typeInto(window, "tbvp", "2000");
    typeInto(window, "tbavans", "200");
    typeInto(window, "tbdurcred", months);
}

QString cell(const QTableView* table, int row, int column) {
    return table->model()->index(row, column).data().toString();
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct ErrorLog {
    QStringList shown;
    void attach(gui::OfferActions& actions) {
        actions.showError = [this](const QString&, const QString& text) { shown << text; };
    }
};

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class OfferWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::prepareApplication(); }

    void ScheduleWindowFollowsTheFormWithoutWritingIt() {
        auto window = openWindow();
        QVERIFY(window);
        auto reference = openWindow(); // the same typing, schedule window never opened
        QVERIFY(reference);
        gui::OfferActions& actions = *window->offerActions();
        typeExample(*window);
        typeExample(*reference);

        const long before = window->form().recalculations();
        actions.scheduleAction()->trigger();
        gui::ScheduleWindow* schedule = actions.scheduleWindow();
        QVERIFY(schedule != nullptr && schedule->isVisible());
        QCOMPARE(schedule->windowTitle(), QStringLiteral("Grafic de rambursare"));
        QCOMPARE(window->form().recalculations(), before);

        const QTableView* table = schedule->table();
        QCOMPARE(table->model()->rowCount(), 25); // 24 months and the totals
        QCOMPARE(cell(table, 0, 1), testsupport::shown(window->control("lbrata")));
        QCOMPARE(cell(table, 24, 0), QStringLiteral("Total"));
        QCOMPARE(cell(table, 24, 5), QStringLiteral("1956.60"));
        QVERIFY(schedule->message()->isHidden());

        // Typing on: the schedule follows, and the form counts what it would count anyway.
        typeInto(*window, "tbdurcred", "36");
        typeInto(*reference, "tbdurcred", "36");
        QCOMPARE(table->model()->rowCount(), 37);
        // Every month but the last pays the form's instalment; the last settles the balance.
        QCOMPARE(cell(table, 34, 1), testsupport::shown(window->control("lbrata")));
        QCOMPARE(cell(table, 35, 6), QStringLiteral("0.00"));
        QCOMPARE(window->form().recalculations(), reference->form().recalculations());
        QCOMPARE(window->form().controls().caption(core::Control::lbrata),
                 reference->form().controls().caption(core::Control::lbrata));

        // Beyond the limits: one sentence instead of the schedule, the file entries disabled.
        typeInto(*window, "tbdurcred", "70");
        QVERIFY(schedule->message()->isVisible());
        QVERIFY(schedule->message()->text().startsWith(QStringLiteral("Simularea nu respecta")));
        for (QAction* a :
             {actions.savePdfAction(), actions.printAction(), actions.exportCsvAction()}) {
            QVERIFY(!a->isEnabled());
            QCOMPARE(a->toolTip(), schedule->message()->text());
        }
        QVERIFY(actions.scheduleAction()->isEnabled()); // the window says why
        typeInto(*window, "tbdurcred", "24");
        QVERIFY(actions.savePdfAction()->isEnabled());
        QVERIFY(schedule->message()->isHidden());

        const long open = window->form().recalculations();
        schedule->close();
        QCOMPARE(window->form().recalculations(), open);
        typeInto(*window, "tbvp", "2500"); // closed, it no longer follows, and nothing breaks
        actions.scheduleAction()->trigger();
        QCOMPARE(cell(schedule->table(), 0, 1), testsupport::shown(window->control("lbrata")));
    }

    // The offer's shortcuts fire from the form, but never take a key from a box being typed in.
    void ShortcutsLeaveTypingAlone() {
        auto window = openWindow();
        QVERIFY(window);
        typeExample(*window);
        gui::OfferActions& actions = *window->offerActions();
        int exports = 0;
        // The dialogs would wait for the agent: count the triggers instead.
        QObject::disconnect(actions.exportCsvAction(), nullptr, &actions, nullptr);
        QObject::connect(actions.exportCsvAction(), &QAction::triggered, window.get(),
                         [&exports] { ++exports; });

        QWidget* box = window->control("tbvp");
        box->setFocus();
        const QString text = testsupport::shown(box);
        const long before = window->form().recalculations();
        QTest::keyClick(box, Qt::Key_E, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_F2);
        QCOMPARE(testsupport::shown(box), text);
        QCOMPARE(window->form().recalculations(), before);
        QTest::keyClicks(box, QStringLiteral("5"));
        QCOMPARE(testsupport::shown(box), text + QStringLiteral("5"));
        QVERIFY(actions.scheduleWindow() != nullptr && actions.scheduleWindow()->isVisible());
        QCOMPARE(exports, 1);
    }

    void PdfHoldsTheWindowsFigures() {
        auto window = openWindow();
        QVERIFY(window);
        typeInto(*window, "vn", "4200");
        typeInto(*window, "tbvp", "2000");
        typeInto(*window, "tbavans", "200");
        typeInto(*window, "tbdurcred", "60");
        gui::OfferActions& actions = *window->offerActions();
        actions.today = [] { return QDate(2026, 3, 14); };
        actions.scheduleAction()->trigger();
        gui::ScheduleWindow* schedule = actions.scheduleWindow();
        QTemporaryDir folder;
        const QString path = folder.filePath(actions.proposedName(QStringLiteral("pdf")));
        QCOMPARE(QFileInfo(path).fileName(),
                 QStringLiteral("oferta-2026-03-14-1800.00RON-60luni.pdf"));
        ErrorLog errors;
        errors.attach(actions);
        QVERIFY(actions.savePdf(path));
        QVERIFY(errors.shown.isEmpty());
        QCOMPARE(entries(folder.path()), QStringList{QFileInfo(path).fileName()});

        const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        QVERIFY2(!text.isEmpty(), "pdftotext (poppler-utils) gave no text");
        const QTableView* table = schedule->table();
        // Every figure of the schedule window is in the document, row by row.
        const QString flat = QString(text).simplified();
        for (int r = 0; r < table->model()->rowCount(); ++r) {
            for (int c = 1; c < table->model()->columnCount(); ++c) {
                const QString figure = cell(table, r, c);
                if (!figure.isEmpty()) {
                    QVERIFY2(flat.contains(figure), qPrintable(figure));
                }
            }
        }
        for (const offer::Line& line : schedule->shown().inputs) {
            QVERIFY2(flat.contains(QString::fromStdString(line.value)), line.value.c_str());
        }
        for (const offer::Line& line : schedule->shown().documentFigures) {
            QVERIFY2(flat.contains(QString::fromStdString(line.value)), line.value.c_str());
        }
        // One DAE on the customer's paper: the legal one, under its plain name.
        QVERIFY(!flat.contains(QStringLiteral("DAE exacta")));
        QVERIFY(flat.contains(QStringLiteral("14.03.2026")));
        QVERIFY(flat.contains(QStringLiteral("simulare cu caracter informativ")));
        // Written with diacritics on paper, the names kept.
        for (const char* label :
             {"Suma finanțată", "Dobânda anuală", "Modalitate de plată", "Rata lunară",
              "Total de rambursat", "Dobânda Comision gestiune"}) {
            QVERIFY2(flat.contains(QString::fromUtf8(label)), label);
        }
        QVERIFY(!flat.contains(QStringLiteral("finantata")));

        // Pages: the summary and the schedule's first months on page 1, then the schedule with
        // its column names on each page, no page without a row of it.
        const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QVERIFY(pages.size() >= 2);
        for (qsizetype p = 0; p < pages.size(); ++p) {
            QVERIFY(
                pages[p].contains(QStringLiteral("Pagina %1 din %2").arg(p + 1).arg(pages.size())));
            QVERIFY2(pages[p].contains(QStringLiteral("Comision gestiune")),
                     qPrintable(QStringLiteral("page %1").arg(p + 1)));
            QVERIFY2(pages[p].contains(QStringLiteral("59.75")),
                     qPrintable(QStringLiteral("page %1").arg(p + 1)));
        }
        // The document's own sentences with their diacritics.
        QVERIFY(text.contains(QStringLiteral("Ofert\u0103 de credit")));
        QVERIFY(text.contains(QStringLiteral("ofert\u0103 ferm\u0103 \u0219i")));

        const QString info = run(QStringLiteral("pdfinfo"), {path});
        QVERIFY(info.contains(QStringLiteral("Oferta de credit")));
        QVERIFY(info.contains(QStringLiteral("Simulator Credit")));
        QVERIFY(info.contains(QStringLiteral("A4")));
        const QStringList fonts = run(QStringLiteral("pdffonts"), {path}).split(QLatin1Char('\n'));
        QVERIFY(fonts.size() > 3);
        for (qsizetype i = 2; i < fonts.size(); ++i) { // after the two heading lines
            if (!fonts[i].isEmpty()) {
                QVERIFY2(fonts[i].contains(QStringLiteral(" yes ")), qPrintable(fonts[i]));
            }
        }
    }

    // The printer gets the same document as the PDF, laid out on its own page and resolution.
    void PrinterGetsTheSameDocument() {
        auto window = openWindow();
        QVERIFY(window);
        typeExample(*window, "48");
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("printed.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        const offer::OfferText text = offer::offerText(window->form());
        const int pages = gui::paintOffer(text, QDate(2026, 3, 14), printer);
        QVERIFY(pages >= 2);
        const QString printed = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        QVERIFY(printed.contains(QStringLiteral("Pagina %1 din %1").arg(pages)));
        QVERIFY(printed.contains(QString::fromStdString(text.totals[1])));
        QVERIFY(run(QStringLiteral("pdfinfo"), {path}).contains(QStringLiteral("letter")));
    }

    void CsvReadsBackAsTheWindowsTable() {
        auto window = openWindow();
        QVERIFY(window);
        typeExample(*window);
        gui::OfferActions& actions = *window->offerActions();
        actions.scheduleAction()->trigger();
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("grafic.csv"));
        QVERIFY(actions.exportCsv(path));
        std::ifstream in(path.toStdString(), std::ios::binary);
        batch::CsvReader reader(in);
        batch::CsvRecord record;
        std::string error;
        std::vector<std::vector<std::string>> rows;
        while (reader.next(record, error)) {
            QCOMPARE(QString::fromStdString(error), QString());
            rows.push_back(record.fields);
        }
        const QTableView* table = actions.scheduleWindow()->table();
        QCOMPARE(static_cast<int>(rows.size()), table->model()->rowCount() + 1);
        QCOMPARE(QString::fromStdString(rows[0][6]), QStringLiteral("Sold"));
        for (int r = 0; r < table->model()->rowCount(); ++r) {
            for (int c = 0; c < table->model()->columnCount(); ++c) {
                QCOMPARE(QString::fromStdString(
                             rows[static_cast<std::size_t>(r) + 1][static_cast<std::size_t>(c)]),
                         cell(table, r, c));
            }
        }
    }

    // Writing where it cannot be done: the agent is told, and the folder is as it was.
    void FailedWriteLeavesNoFile() {
        auto window = openWindow();
        QVERIFY(window);
        typeExample(*window);
        gui::OfferActions& actions = *window->offerActions();
        ErrorLog errors;
        errors.attach(actions);
        QTemporaryDir folder;

        // A read-only folder. The superuser writes there all the same, so the test also
        // aims below a plain file, which no one can write into.
        const QString locked = folder.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkdir(locked));
        QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QFile probe(QDir(locked).filePath(QStringLiteral("probe")));
        const bool lockHolds = !probe.open(QIODevice::WriteOnly);
        probe.remove();
        if (lockHolds) {
            QVERIFY(!actions.savePdf(QDir(locked).filePath(QStringLiteral("oferta.pdf"))));
            QVERIFY(!actions.exportCsv(QDir(locked).filePath(QStringLiteral("grafic.csv"))));
            QCOMPARE(entries(locked), QStringList());
            QCOMPARE(errors.shown.size(), 2);
        }
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);

        QFile plain(folder.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        errors.shown.clear();
        const QStringList before = entries(folder.path());
        QVERIFY(!actions.savePdf(folder.filePath(QStringLiteral("plain/oferta.pdf"))));
        QVERIFY(!actions.exportCsv(folder.filePath(QStringLiteral("plain/grafic.csv"))));
        // A name that is a folder already: the rename at the end fails.
        QVERIFY(QDir().mkdir(folder.filePath(QStringLiteral("oferta.pdf"))));
        QVERIFY(!actions.savePdf(folder.filePath(QStringLiteral("oferta.pdf"))));
        QStringList after = before + QStringList{QStringLiteral("oferta.pdf")};
        after.sort();
        QCOMPARE(entries(folder.path()), after);
        QCOMPARE(entries(folder.filePath(QStringLiteral("oferta.pdf"))), QStringList());
        QCOMPARE(errors.shown.size(), 3);
        for (const QString& message : errors.shown) {
            QVERIFY(message.contains(QStringLiteral("nu a putut fi scris")));
        }
    }

    // Every text of the offer is text, whatever characters a lender's tariff or a figure holds:
    // nothing in it may open a tag in the document, nor an entity swallow what follows.
    void OfferDocumentShowsTextsAsWritten() {
        offer::OfferText text;
        text.program = "Credit <Nord> & Fiii";
        text.subtitle = "Tarif: <b>Vara</b> &amp; toamna";
        text.reason = "Refuzat: <i>motiv</i>";
        QTextDocument refused;
        gui::buildOfferDocument(refused, text, QDate(2026, 12, 8));
        for (const char* shown :
             {"Credit <Nord> & Fiii", "Tarif: <b>Vara</b> &amp; toamna", "Refuzat: <i>motiv</i>"}) {
            QVERIFY2(refused.toPlainText().contains(QString::fromUtf8(shown)), shown);
        }

        text.valid = true;
        text.inputs = {{"Asigurare <", "Complet & \"plus\""}};
        text.documentFigures = {{"DAE", "45.04 % <script>x</script>"}};
        text.header = {"Luna", "<td>", "", "", "", "", ""};
        text.rows = {{"1", "1 < 2", "", "", "", "", ""}};
        text.totals = {"Total", "&lt;", "", "", "", "", ""};
        QTextDocument offer;
        gui::buildOfferDocument(offer, text, QDate(2026, 12, 8));
        const QString plain = offer.toPlainText();
        for (const char* shown :
             {"Credit <Nord> & Fiii", "Tarif: <b>Vara</b> &amp; toamna", "Asigurare <",
              "Complet & \"plus\"", "45.04 % <script>x</script>", "<td>", "1 < 2", "&lt;"}) {
            QVERIFY2(plain.contains(QString::fromUtf8(shown)), shown);
        }
    }

    // Without a test's hook, the failure is a real message box that does not hold up the loop.
    void FailureMessageBoxDoesNotBlock() {
        auto window = openWindow();
        QVERIFY(window);
        typeExample(*window);
        QTemporaryDir folder;
        QFile plain(folder.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QVERIFY(!window->offerActions()->savePdf(folder.filePath(QStringLiteral("plain/o.pdf"))));
        auto* box = window->findChild<QMessageBox*>(QStringLiteral("fileErrorBox"));
        QVERIFY(box != nullptr);
        QTRY_VERIFY(box->isVisible());
        QCOMPARE(box->icon(), QMessageBox::Critical);
        QVERIFY(box->text().contains(QStringLiteral("plain")));
        box->accept();
    }
};

QTEST_MAIN(OfferWindowTest)
#include "offer_window_test.moc"
