#include "tariff/tariff.h"

namespace tariff {

// The only place the product's own figures are written; the example tariff shipped with the
// package is this one in the file format (a test holds them equal).
const Tariff& builtIn() {
    static const Tariff tariff(Terms{
        .name = "Tarif standard",
        .valid_from = "2026-12-01",
        .lender = {.title = "Simulator Credit Omnira", .heading = "CREDIT OMNIRA"},
        .credit = {.ceiling = 30000, .minimum = 510},
        .duration = {.minimum = 6, .maximum = 60, .guard = 550, .after_guard = 60},
        .granting_commission = {.rate = 0.087, .minimum = 0},
        .insurance =
            {{"Fara Asigurare", 0}, {"Standard", 0.0044}, {"Optim", 0.0064}, {"Senior", 0.0084}},
        .management_commission = {.initial = {.direct_debit = 0.015, .cash = 0.017},
                                  .bands = {{510, 30000, 6, 47, {0.015, 0.017}},
                                            {510, 3999.99, 48, 60, {0.015, 0.017}},
                                            {4000, 30000, 48, 60, {0.005, 0.007}}}},
        .interest =
            {
                {.duration_min = 6, .duration_max = 12, .credit_above = 510, .rate = 0.167},
                {.duration_min = 13, .duration_max = 36, .credit_max = 30000, .rate = 0.107},
                {.duration_min = 37, .duration_max = 47, .credit_max = 30000, .rate = 0.09},
                {.duration_min = 37,
                 .duration_max = 60,
                 .credit_min = 510,
                 .credit_max = 3999.99,
                 .rate = 0.09},
                {.duration_min = 37,
                 .duration_max = 60,
                 .credit_min = 4000,
                 .credit_max = 30000,
                 .rate = 0.07},
            },
        .indebtedness_limit = 0.35,
    });
    return tariff;
}

bool Terms::hasLegalTerms() const {
    bool compulsory = false;
    for (const InsuranceOption& o : insurance) {
        compulsory = compulsory || o.compulsory;
    }
    return creditor || late_payment || early_repayment || information_valid_days ||
           !legal_limits.empty() || compulsory;
}

std::string Tariff::label() const {
    return terms_.valid_from ? terms_.name + " (" + *terms_.valid_from + ")" : terms_.name;
}

} // namespace tariff
