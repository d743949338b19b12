#include "batch/batch.h"
#include "batch/csv.h"
#include "offer/table_row.h"
#include "runtime/csv.h"
#include "ui/form1.h"
#include "ui/window_facts.h"

#include <array>
#include <charconv>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace batch {
namespace {

using core::Control;

// Input columns: the six boxes (named after them), the insurance, the payment.
enum class Column { vn, ar, ad, tbvp, tbavans, tbdurcred, cbasig, plata };
constexpr std::array<const char*, 8> columnNames = {"vn",      "ar",        "ad",     "tbvp",
                                                    "tbavans", "tbdurcred", "cbasig", "plata"};

// The box a column fills, if it is one of the input boxes.
std::optional<Control> boxOf(Column column) {
    Control c{};
    if (ui::controlByName(columnNames[static_cast<std::size_t>(column)], c)) {
        return c;
    }
    return std::nullopt;
}

constexpr std::array<const char*, 12> outputNames = {
    "tbdob",     "lbrata",        "lbasig", "lbcomisgest", "bnr",        "tbsumacc",
    "tbratatlx", "lbdobaferenta", "lbdae",  "eroare",      "indatorare", "mesaje"};
using Row = offer::TableRow;

void writeRecord(std::ostream& out, const std::vector<std::string>& fields) {
    out << runtime::csvRecord(fields);
}

// `items`: the insurance list's items of a window after start-up.
std::string readRow(const std::vector<std::string>& fields, const std::vector<Column>& header,
                    const std::vector<std::string>& items, Row& row) {
    if (fields.size() != header.size()) {
        return "expected " + std::to_string(header.size()) + " fields, found " +
               std::to_string(fields.size());
    }
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string& cell = fields[i];
        switch (header[i]) {
        case Column::cbasig: {
            if (cell.empty()) {
                break;
            }
            for (std::size_t k = 0; k < items.size(); ++k) {
                if (cell == items[k] || cell == std::to_string(k)) {
                    row.insurance = static_cast<int>(k);
                }
            }
            if (row.insurance < 0) {
                return "unknown insurance '" + cell + "'";
            }
            break;
        }
        case Column::plata:
            if (cell == ui::cashCaption) {
                row.cash = true;
            } else if (!cell.empty() && cell != ui::directDebitCaption) {
                return "unknown payment '" + cell + "'";
            }
            break;
        default:
            if (const std::optional<Control> box = boxOf(header[i])) {
                row.boxes[offer::boxSlot(*box)] = cell;
            }
            break;
        }
    }
    return {};
}

std::vector<std::string> simulate(const Row& row, const tariff::Tariff& tarif) {
    ui::MessageLog log;
    ui::Form1 form(log, tarif);
    form.Form_Load();
    offer::playRow(form, row);
    const ui::ControlModel& m = form.controls();
    std::string messages;
    for (const core::Message& shown : log.shown) {
        messages += (messages.empty() ? "" : " | ") + shown.prompt;
    }
    return {m.text(Control::tbdob),
            m.caption(Control::lbrata),
            m.caption(Control::lbasig),
            m.caption(Control::lbcomisgest),
            m.text(Control::bnr),
            m.text(Control::tbsumacc),
            m.text(Control::tbratatlx),
            m.caption(Control::lbdobaferenta),
            m.caption(Control::lbdae),
            m.visible(Control::Eroare) ? m.caption(Control::Label10) : std::string(),
            m.visible(Control::Frame6) ? "1" : "0",
            messages};
}

// Reads the header; an error text when a column is unknown or repeated.
std::string readHeader(std::vector<std::string> names, std::vector<Column>& header) {
    if (!names.empty() && names[0].rfind("\xEF\xBB\xBF", 0) == 0) {
        names[0].erase(0, 3); // a byte-order mark written by spreadsheet programs
    }
    std::array<bool, columnNames.size()> seen{};
    for (const std::string& name : names) {
        std::size_t k = 0;
        while (k < columnNames.size() && name != columnNames[k]) {
            ++k;
        }
        if (k == columnNames.size()) {
            return "unknown column '" + name + "'";
        }
        if (seen[k]) {
            return "repeated column '" + name + "'";
        }
        seen[k] = true;
        header.push_back(static_cast<Column>(k));
    }
    return {};
}

// The insurance list's items as start-up fills them.
std::vector<std::string> insuranceItems(const tariff::Tariff& tarif) {
    ui::MessageLog log;
    ui::Form1 form(log, tarif);
    form.Form_Load();
    return form.controls().data(Control::cbasig).items;
}

} // namespace

int runTable(std::istream& in, std::ostream& out, std::ostream& err, const tariff::Tariff& tarif) {
    const std::vector<std::string> items = insuranceItems(tarif);
    CsvReader reader(in);
    CsvRecord record;
    std::string error;
    std::vector<Column> header;
    std::vector<std::string> headerNames;
    if (reader.next(record, error)) {
        if (error.empty()) {
            error = readHeader(record.fields, header);
        }
        if (!error.empty()) {
            err << "line " << record.line << ": " << error << '\n';
            return malformed;
        }
        headerNames = record.fields;
        if (!headerNames.empty()) {
            headerNames[0] = columnNames[static_cast<std::size_t>(header[0])];
        }
    }
    std::vector<std::string> outHeader = headerNames;
    outHeader.insert(outHeader.end(), outputNames.begin(), outputNames.end());
    writeRecord(out, outHeader);

    int status = ok;
    while (reader.next(record, error)) {
        Row row;
        if (error.empty()) {
            error = readRow(record.fields, header, items, row);
        }
        if (!error.empty()) {
            err << "line " << record.line << ": " << error << '\n';
            status = rowErrors;
            continue;
        }
        std::vector<std::string> fields = record.fields;
        std::vector<std::string> shown = simulate(row, tarif);
        fields.insert(fields.end(), shown.begin(), shown.end());
        writeRecord(out, fields);
    }
    out.flush();
    return status;
}

} // namespace batch
