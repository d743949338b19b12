// The standard information form on paper: the text a reader gets back from the PDF, the type it
// is set in, and its pages.

#include "gui/application.h"
#include "gui/legal_actions.h"
#include "gui/offer_actions.h"
#include "gui/schedule_window.h"
#include "gui/shop_dialog.h"
#include "gui/simulator_window.h"
#include "gui/standard_form_document.h"
#include "gui/variants_window.h"
#include "ui/tariff_choice.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString run(const QString& program, const QStringList& arguments, int* status = nullptr) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        return QStringLiteral("(did not finish)");
    }
    if (status != nullptr) {
        *status = process.exitCode();
    }
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

// A form long enough to run onto several pages, with every letter of Romanian's own.
offer::StandardForm handMadeForm() {
    offer::StandardForm form;
    form.valid = true;
    form.title = offer::standardFormTitle;
    form.creditor = "Creditul Țării IFN S.A.";
    const char* headings[] = {offer::essentialsHeading, offer::creditorHeading,
                              offer::featuresHeading, offer::costsHeading, offer::legalHeading};
    int n = 0;
    for (const char* heading : headings) {
        offer::FormSection section{heading, {}, {}};
        for (int i = 0; i < 8; ++i, ++n) {
            section.lines.push_back({"Rândul " + std::to_string(n) + " ăâîșț ĂÂÎȘȚ",
                                     std::to_string(1000 + n) + ".00 RON"});
        }
        section.sentences.push_back("Fraza secțiunii: dobânda și comisioanele rămân neschimbate "
                                    "pe toată durata contractului, iar anul are douăsprezece "
                                    "luni egale.");
        form.sections.push_back(section);
    }
    form.closing = {{"Data și ora emiterii", "08.12.2026 14:30"}, {"Tariful", "Tarif (2026)"}};
    form.acknowledgement = "Am primit acest formular.";
    return form;
}

// The lender's example tariff, with `limits` as its only legal limits.
QString lenderTariff(const QTemporaryDir& folder, const char* limits) {
    QFile example(QStringLiteral(SIMCREDIT_LENDER_TARIFF));
    if (!example.open(QIODevice::ReadOnly)) {
        return {};
    }
    QString text = QString::fromUtf8(example.readAll());
    const qsizetype at = text.indexOf(QStringLiteral("\"legal_limits\""));
    text = text.left(at) + QStringLiteral("\"legal_limits\": ") + QLatin1String(limits) +
           QStringLiteral("\n}\n");
    QString path = folder.filePath(QStringLiteral("tarif.json"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        return {};
    }
    out.write(text.toUtf8());
    return path;
}

// The customer of the offer example, typed as the agent would.
void typeCustomer(gui::SimulatorWindow& window) {
    auto& controls = window.form().controls();
    const std::pair<core::Control, const char*> boxes[] = {
        {core::Control::vn, "4200"},     {core::Control::ar, "350"},
        {core::Control::ad, "100"},      {core::Control::tbvp, "3500"},
        {core::Control::tbavans, "500"}, {core::Control::tbdurcred, "24"}};
    for (const auto& [box, text] : boxes) {
        controls.setText(box, text);
    }
    controls.select(core::Control::cbasig, 1);
}

} // namespace

class StandardFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::prepareApplication(); }

    // What a customer's reader gets back: every heading, row and figure, the Romanian letters
    // with the comma below, and the page numbers; the numbered sections start on page 2.
    void PdfReadsBackWithEveryTextAndPageNumbers() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("formular.pdf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const offer::StandardForm form = handMadeForm();
        QVERIFY(gui::writeStandardFormPdf(form, file));
        file.close();

        const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        const QString flat = text.simplified();
        QVERIFY2(flat.contains(QString::fromUtf8(form.title.c_str())), qPrintable(text));
        for (const offer::FormSection& section : form.sections) {
            QVERIFY2(flat.contains(QString::fromStdString(section.heading)),
                     section.heading.c_str());
            for (const offer::Line& line : section.lines) {
                QVERIFY2(flat.contains(QString::fromStdString(line.label)), line.label.c_str());
                QVERIFY2(flat.contains(QString::fromStdString(line.value)), line.value.c_str());
            }
        }
        QVERIFY(flat.contains(QStringLiteral("08.12.2026 14:30")));
        QVERIFY(flat.contains(QStringLiteral("Semnătura clientului")));
        // U+0219 and U+021B, never the cedilla look-alikes.
        QVERIFY(text.contains(QChar(0x0219)) && text.contains(QChar(0x021B)));
        QVERIFY(!text.contains(QChar(0x015F)) && !text.contains(QChar(0x0163)));

        const QStringList pages = text.split(QChar(u'\f'), Qt::SkipEmptyParts);
        QVERIFY2(pages.size() >= 3, qPrintable(text));
        const QString last = QString::number(pages.size());
        for (int p = 0; p < pages.size(); ++p) {
            QVERIFY2(pages[p].contains(QStringLiteral("Pagina %1 din %2").arg(p + 1).arg(last)),
                     qPrintable(pages[p]));
        }
        QVERIFY(pages[0].contains(QString::fromUtf8(offer::essentialsHeading)));
        QVERIFY(!pages[0].contains(QString::fromUtf8(offer::creditorHeading)));
    }

    // Every font embedded Liberation Serif, every character at least 12 points.
    void PdfIsSetInEmbeddedLiberationSerifOfTwelvePoints() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("formular.pdf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(gui::writeStandardFormPdf(handMadeForm(), file));
        file.close();
        int status = -1;
        const QString report = run(QStringLiteral("/usr/bin/python3"),
                                   {QStringLiteral(SIMCREDIT_PDF_TYPE_CHECK), path}, &status);
        QVERIFY2(status == 0, qPrintable(report));
    }

    // A breached limit disables every document, the reason naming it with its figure; the
    // schedule window says it in plain words. Within the limits the form is written with the
    // shop as credit intermediary.
    void WindowIssuesNoDocumentOverALegalLimit() {
        QTemporaryDir folder;
        const QString ceiling =
            lenderTariff(folder, R"([{"name": "DAE maxima IFN", "dae_max": 0.345}])");
        QVERIFY(!ceiling.isEmpty());
        gui::SimulatorWindow window(ui::chooseTariff(ceiling.toStdString()));
        auto* legal = new gui::LegalActions(
            window, {{}, ui::Shop{"Magazinul Ștefan", "Str. Țării 9", std::nullopt}, {}});
        window.load();
        typeCustomer(window);
        const QString why =
            QStringLiteral("Depaseste limita legala: DAE maxima IFN: 45.04 % > 34.50 %");
        gui::OfferActions& offer = *window.offerActions();
        for (QAction* action : {legal->standardFormAction(), offer.savePdfAction(),
                                offer.printAction(), offer.exportCsvAction()}) {
            QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
            QCOMPARE(action->toolTip(), why);
        }
        QVERIFY(!legal->saveStandardFormPdf(folder.filePath(QStringLiteral("f.pdf"))));
        QVERIFY(!offer.savePdf(folder.filePath(QStringLiteral("o.pdf"))));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("f.pdf"))));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("o.pdf"))));
        offer.showSchedule();
        const QString said = offer.scheduleWindow()->legal()->text();
        QVERIFY2(said.contains(QStringLiteral("DAE legala 45.04 %")), qPrintable(said));
        QVERIFY2(said.contains(why), qPrintable(said));

        QTemporaryDir other;
        const QString within = lenderTariff(other, "[]");
        gui::SimulatorWindow granted(ui::chooseTariff(within.toStdString()));
        auto* allowed = new gui::LegalActions(
            granted, {{}, ui::Shop{"Magazinul Ștefan", "Str. Țării 9", std::nullopt}, {}});
        granted.load();
        typeCustomer(granted);
        QVERIFY(allowed->standardFormAction()->isEnabled());
        const QString path = other.filePath(QStringLiteral("formular.pdf"));
        QVERIFY(allowed->saveStandardFormPdf(path));
        const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        const QString flat = text.simplified();
        QVERIFY2(flat.contains(QStringLiteral("Intermediar de credit")) &&
                     flat.contains(QStringLiteral("Magazinul Ștefan")),
                 qPrintable(text));
    }

    // The variants window names the limit a duration breaches, rather than offering it.
    void VariantsNameTheBreachedLimit() {
        QTemporaryDir folder;
        const QString ceiling =
            lenderTariff(folder, R"([{"name": "DAE maxima IFN", "dae_max": 0.345}])");
        gui::SimulatorWindow window(ui::chooseTariff(ceiling.toStdString()));
        window.load();
        window.show();
        typeCustomer(window);
        window.findChild<QAction*>(QStringLiteral("variantsAction"))->trigger();
        auto* variants = window.findChild<gui::VariantsWindow*>(QStringLiteral("variantsWindow"));
        QVERIFY(variants != nullptr);
        QTRY_VERIFY(!variants->findChildren<QTableView*>().isEmpty());
        const QAbstractItemModel* model = variants->findChildren<QTableView*>().first()->model();
        int over = 0;
        QTRY_VERIFY(model->rowCount() > 0);
        for (int r = 0; r < model->rowCount(); ++r) {
            for (int c = 0; c < model->columnCount(); ++c) {
                const QString text = model->index(r, c).data().toString();
                if (text.startsWith(QStringLiteral("Peste limita legala"))) {
                    QCOMPARE(text, QStringLiteral("Peste limita legala: DAE maxima IFN"));
                    ++over;
                }
            }
        }
        QVERIFY(over > 0);
    }

    // The shop's details: refused with the reason under the boxes and nothing written, then
    // written whole once they are right.
    void ShopDetailsSavedWholeOrNotAtAll() {
        QTemporaryDir folder;
        const std::filesystem::path file =
            folder.filePath(QStringLiteral("magazin.json")).toStdString();
        gui::ShopDialog dialog(std::nullopt, file);
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("shopName"));
        auto* address = dialog.findChild<QLineEdit*>(QStringLiteral("shopAddress"));
        auto* problem = dialog.findChild<QLabel*>(QStringLiteral("shopProblem"));
        QVERIFY(name && address && problem);
        name->setText(QStringLiteral("  Magazinul Ștefan  "));
        QVERIFY(!dialog.save()); // no address
        QVERIFY(!problem->text().isEmpty());
        QVERIFY(!std::filesystem::exists(file));
        address->setText(QStringLiteral("Str. Țării 9"));
        QVERIFY(dialog.save());
        QVERIFY(problem->isHidden());
        QVERIFY(dialog.saved());
        QCOMPARE(dialog.saved()->name, std::string("Magazinul Ștefan"));
        QVERIFY(!dialog.saved()->phone);
        const ui::ShopChoice read = ui::chooseShop(file);
        QVERIFY(read.shop);
        QCOMPARE(read.shop->address, std::string("Str. Țării 9"));
    }

    void FormThatMayNotBeIssuedWritesNothing() {
        offer::StandardForm form = handMadeForm();
        form.valid = false;
        form.reason = "Depaseste limita legala";
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(!gui::writeStandardFormPdf(form, buffer));
        QCOMPARE(buffer.size(), 0);
    }
};

QTEST_MAIN(StandardFormTest)
#include "standard_form_test.moc"
