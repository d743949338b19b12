#include "gui/document_command.h"

#include "batch/batch.h"
#include "gui/command_line.h"
#include "gui/legal_actions.h"
#include "gui/offer_document.h"
#include "gui/standard_form_document.h"
#include "offer/offer_text.h"
#include "offer/standard_form.h"
#include "register/record_of_form.h"
#include "register/register.h"
#include "ui/shop.h"
#include "ui/tariff_choice.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QSaveFile>

#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string_view>

namespace gui {
namespace {

const QString documentOption = QStringLiteral("document");

void complain(const QString& text) {
    std::fputs(qPrintable(QStringLiteral("simulator-credit: %1\n").arg(text)), stderr);
}

std::optional<std::filesystem::path> pathOption(const QCommandLineParser& parser,
                                                const QString& name) {
    if (!parser.isSet(name)) {
        return std::nullopt;
    }
    return std::filesystem::path(parser.value(name).toStdString());
}

// What one document needs: why it may not be issued (empty when it may), and how it is written.
struct Document {
    std::string refusal;
    std::function<bool(QIODevice&)> write;
};

Document offerDocument(const ui::Form1& form) {
    Document out;
    out.refusal = offer::documentRefusal(form);
    const offer::OfferText text = offer::offerText(form);
    const QDate date = QDate::currentDate();
    out.write = [text, date](QIODevice& device) { return writeOfferPdf(text, date, device); };
    return out;
}

Document scheduleDocument(const ui::Form1& form) {
    Document out;
    out.refusal = offer::documentRefusal(form);
    const std::string csv = offer::scheduleCsv(offer::offerText(form));
    out.write = [csv](QIODevice& device) {
        return !csv.empty() && device.write(csv.data(), static_cast<qint64>(csv.size())) ==
                                   static_cast<qint64>(csv.size());
    };
    return out;
}

Document formDocument(const ui::Form1& form, const std::optional<ui::Shop>& shop) {
    Document out;
    const offer::StandardForm standard =
        offer::standardForm(form, shop, issueText(QDateTime::currentDateTime()));
    out.refusal = standard.reason;
    out.write = [standard](QIODevice& device) { return writeStandardFormPdf(standard, device); };
    return out;
}

// The document is issued: a record that cannot be filed is said on standard error and changes
// neither the file nor the status, as in the window.
void recordDocument(const QCommandLineParser& parser, reg::MadeRecord& made,
                    const QString& output) {
    made.record.document_sha256 = reg::sha256OfFile(output.toStdString());
    const reg::LocationChoice where = chooseRegister(parser);
    if (!where.location) {
        complain(QStringLiteral("the document was written but not recorded: %1")
                     .arg(QString::fromStdString(where.error)));
        return;
    }
    reg::Register registru(*where.location, reg::outboxFile());
    const reg::FileResult result = registru.file(made.record, made.tariffJson);
    if (result.filed == reg::Filed::queued) {
        complain(QStringLiteral("the document was written; its record waits in %1 (%2)")
                     .arg(QString::fromStdString(reg::outboxFile().string()),
                          QString::fromStdString(result.message)));
    } else if (result.filed == reg::Filed::failed) {
        complain(QStringLiteral("the document was written but not recorded: %1")
                     .arg(QString::fromStdString(result.message)));
    }
}

} // namespace

void describeDocumentOptions(QCommandLineParser& parser) {
    parser.addOption(QCommandLineOption(
        documentOption,
        // No line break of our own: Qt wraps an option's text in its column itself.
        QStringLiteral("Write a document without showing the window: the offer (oferta, PDF), "
                       "the standard information form (formular, PDF) or the schedule "
                       "(grafic, CSV), for the state a batch-tool script leaves. Needs --script "
                       "and --output; exits with status 2, writing nothing, when no document "
                       "may be issued for that state."),
        QStringLiteral("KIND")));
    parser.addOption(QCommandLineOption(QStringLiteral("script"),
                                        QStringLiteral("With --document: the script to replay."),
                                        QStringLiteral("FILE")));
    parser.addOption(QCommandLineOption(QStringLiteral("output"),
                                        QStringLiteral("With --document: the file to write."),
                                        QStringLiteral("FILE")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("magazin"),
        QStringLiteral("The shop's details from this JSON file instead of the one found in "
                       "$XDG_CONFIG_HOME or $XDG_CONFIG_DIRS (simulator-credit/magazin.json)."),
        QStringLiteral("FILE")));
}

bool asksForDocument(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--document" || arg.starts_with("--document=")) {
            return true;
        }
    }
    return false;
}

int writeDocument(const QCommandLineParser& parser) {
    const QString kind = parser.value(documentOption);
    if (kind != QLatin1String("oferta") && kind != QLatin1String("formular") &&
        kind != QLatin1String("grafic")) {
        complain(
            QStringLiteral("--document takes oferta, formular or grafic (got '%1')").arg(kind));
        return 1;
    }
    if (!parser.isSet(QStringLiteral("script")) || !parser.isSet(QStringLiteral("output"))) {
        complain(QStringLiteral("--document needs --script FILE and --output FILE"));
        return 1;
    }
    // A document in the customer's hands must come from the lender's own terms: a tariff or a
    // shop file that fails its checks stops the command instead of falling back silently.
    const ui::TariffChoice tarif = ui::chooseTariff(pathOption(parser, QStringLiteral("tarif")));
    if (tarif.failed()) {
        complain(QString::fromStdString(tarif.failureText()));
        return 1;
    }
    const ui::ShopChoice shop = ui::chooseShop(pathOption(parser, QStringLiteral("magazin")));
    if (shop.failed()) {
        complain(QString::fromStdString(shop.failureText()));
        return 1;
    }
    const std::string scriptPath = parser.value(QStringLiteral("script")).toStdString();
    std::ifstream script(scriptPath, std::ios::binary);
    if (!script) {
        complain(
            QStringLiteral("cannot open the script '%1'").arg(QString::fromStdString(scriptPath)));
        return 1;
    }
    Document document;
    std::optional<reg::MadeRecord> made; // the record of the final state, filed once written
    const std::string_view recordKind = kind == QLatin1String("oferta")   ? reg::kindOffer
                                        : kind == QLatin1String("grafic") ? reg::kindScheduleCsv
                                                                          : reg::kindForm;
    std::optional<std::string> shopName;
    if (shop.shop) {
        shopName = shop.shop->name;
    }
    std::ostringstream printed; // what the script's own actions print is not the document
    std::ostringstream errors;
    const int replayed =
        batch::runScript(script, printed, errors, tarif.tariff(), [&](const ui::Form1& form) {
            if (kind == QLatin1String("oferta")) {
                document = offerDocument(form);
            } else if (kind == QLatin1String("grafic")) {
                document = scheduleDocument(form);
            } else {
                document = formDocument(form, shop.shop);
            }
            made = reg::makeRecord(form, recordKind, shopName, std::nullopt);
        });
    if (replayed != batch::ok || !document.write) {
        complain(QStringLiteral("script %1: %2")
                     .arg(QString::fromStdString(scriptPath),
                          QString::fromStdString(errors.str()).trimmed()));
        return 1;
    }
    if (!document.refusal.empty()) {
        complain(QString::fromStdString(document.refusal));
        return 2;
    }
    const QString output = parser.value(QStringLiteral("output"));
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly)) {
        complain(QStringLiteral("cannot write '%1': %2").arg(output, file.errorString()));
        return 1;
    }
    if (!document.write(file)) {
        file.cancelWriting();
        file.commit();
        complain(QStringLiteral("cannot write '%1'").arg(output));
        return 1;
    }
    if (!file.commit()) {
        complain(QStringLiteral("cannot write '%1': %2").arg(output, file.errorString()));
        return 1;
    }
    recordDocument(parser, *made, output);
    return 0;
}

} // namespace gui
