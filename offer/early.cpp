#include "offer/early.h"

#include "runtime/numeric.h"

#include <algorithm>
#include <cmath>

namespace offer {
namespace {

// Each month of the remaining balance with the form's own rates and monthly recurrence.
struct Rates {
    double dobanda = 0;
    double comgestluna = 0;
    double procasig = 0;
};

// A sum left over by rounding after the last instalment, far below a cent, is not a debt: the
// shorter term closes in the month its principal reaches the balance up to this much, rather
// than adding a month that pays nothing.
constexpr double closingSlack = 1e-9;

MonthRow monthAfter(int month, double previous, double instalment, const Rates& r) {
    MonthRow row;
    row.month = month;
    row.instalment = instalment;
    row.interest = previous * r.dobanda * 30.0 / 360.0;
    row.commission = previous * r.comgestluna;
    row.insurance = previous * r.procasig;
    row.principal = instalment - row.interest - row.commission - row.insurance;
    row.balance = previous - row.principal;
    return row;
}

bool finite(const MonthRow& r) {
    return std::isfinite(r.instalment) && std::isfinite(r.interest) &&
           std::isfinite(r.commission) && std::isfinite(r.insurance) &&
           std::isfinite(r.principal) && std::isfinite(r.balance);
}

// The same term: the annuity of the remaining balance, as the form computes its instalment.
std::vector<MonthRow> lowerInstalment(double left, int remaining, const Rates& r) {
    const double a = (12.0 * r.comgestluna + r.dobanda + 12.0 * r.procasig) / 12.0;
    const double instalment =
        a == 0.0 ? left / remaining : (a * left) / (1.0 - 1.0 / runtime::Power(1.0 + a, remaining));
    std::vector<MonthRow> months;
    months.reserve(static_cast<std::size_t>(remaining));
    double previous = left;
    for (int m = 1; m <= remaining; ++m) {
        months.push_back(monthAfter(m, previous, instalment, r));
        previous = months.back().balance;
    }
    return months;
}

// The same instalment until the month it would pay more than is owed: that month pays the
// balance and its costs. Empty when the balance is not paid within the remaining months.
std::vector<MonthRow> shorterTerm(double left, double instalment, int remaining, const Rates& r) {
    std::vector<MonthRow> months;
    double previous = left;
    for (int m = 1; m <= remaining; ++m) {
        MonthRow row = monthAfter(m, previous, instalment, r);
        if (row.principal >= previous - closingSlack) {
            row.principal = previous;
            row.instalment = previous + row.interest + row.commission + row.insurance;
            row.balance = 0;
            months.push_back(row);
            return months;
        }
        months.push_back(row);
        previous = row.balance;
    }
    return {};
}

Early refused(std::string reason) {
    Early out;
    out.reason = std::move(reason);
    return out;
}

} // namespace

EarlyTerms earlyTerms(const ui::Form1& form) {
    // A tariff without the block gives the usual shares and the linear refund.
    const tariff::EarlyRepayment t = form.state().tarif->terms().earlyRepayment();
    return {t.compensation, t.compensation_last_year,
            t.granting_commission_refund == tariff::EarlyRepayment::Refund::linear};
}

Early earlyRepayment(const ScheduleOffer& offer, const core::SimulationState& state,
                     const EarlyTerms& terms, const EarlyRequest& request) {
    if (!offer.valid || !offer.totals) {
        return refused(offer.reason);
    }
    const auto n = static_cast<long long>(offer.months.size());
    if (n < 2) {
        return refused("Creditul are o singura rata: nu ramane nimic de rambursat anticipat.");
    }
    if (request.month < 1 || request.month > n - 1) {
        return refused("Rambursarea anticipata se face dupa cel putin o rata si cel mult " +
                       std::to_string(n - 1) + " rate platite.");
    }
    const auto k = static_cast<std::size_t>(request.month);
    const int remaining = static_cast<int>(n - request.month);
    const double balance = offer.months[k - 1].balance;
    if (!std::isfinite(balance) || !(balance > 0)) {
        return refused("Dupa aceasta rata creditul este deja achitat.");
    }
    const bool whole = request.mode == EarlyMode::total;
    const double amount = whole ? balance : request.amount;
    if (!std::isfinite(amount)) {
        return refused("Suma rambursata anticipat nu este un numar valid.");
    }
    if (!(amount > 0)) {
        return refused("Suma rambursata anticipat trebuie sa fie mai mare decat 0.");
    }
    if (!whole && !(amount < balance)) {
        return refused("Suma rambursata partial trebuie sa fie mai mica decat soldul ramas; "
                       "pentru tot soldul alegeti rambursarea totala.");
    }

    Early out;
    out.balance = balance;
    out.amount = amount;
    const double share = amount / balance;
    double interest = 0;
    for (std::size_t i = k; i < offer.months.size(); ++i) {
        interest += offer.months[i].interest;
    }
    out.interestLeft = interest * share;
    out.compensationRate = remaining > 12 ? terms.compensation : terms.compensationLastYear;
    out.compensation = std::min(out.compensationRate * amount, out.interestLeft);
    if (terms.refundGrantingCommission) {
        const double granting = offer.totals->principal - (state.valoareprodus - state.valavans);
        out.refund = granting * remaining / static_cast<double>(n) * share;
    }
    out.payToday = amount + out.compensation - out.refund;

    if (!whole) {
        const Rates rates{state.dobanda, state.comgestluna, state.procasig};
        const double left = balance - amount;
        out.months = request.mode == EarlyMode::rata
                         ? lowerInstalment(left, remaining, rates)
                         : shorterTerm(left, state.rataluna, remaining, rates);
        if (out.months.empty()) {
            return refused("Cu rata actuala soldul ramas nu se achita in cele " +
                           std::to_string(remaining) + " luni ramase.");
        }
        if (!std::all_of(out.months.begin(), out.months.end(),
                         [](const MonthRow& r) { return finite(r); })) {
            return refused("Lunile de dupa rambursare au valori care nu pot fi calculate.");
        }
        out.instalment = out.months.front().instalment;
        for (const MonthRow& r : out.months) {
            out.futureTotal += r.instalment;
        }
    }
    out.saving = state.rataluna * remaining - (out.payToday + out.futureTotal);
    out.valid = true;
    return out;
}

Early earlyRepayment(const ui::Form1& form, const EarlyRequest& request) {
    return earlyRepayment(scheduleOffer(form), form.state(), earlyTerms(form), request);
}

} // namespace offer
