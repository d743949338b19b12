#include "offer/cent_schedule.h"

#include "runtime/format.h"

#include <cmath>

namespace offer {

std::optional<Cents> toCents(double value) {
    // Far below what a long long counts, far above any credit a tariff allows.
    constexpr double largest = 1e13;
    if (!std::isfinite(value) || std::fabs(value) >= largest) {
        return std::nullopt;
    }
    // The window's own rounding of amounts to two decimals, read back as a whole number.
    const std::string text = runtime::Format(value, "0.00");
    Cents cents = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            cents = cents * 10 + (c - '0');
        }
    }
    return text.front() == '-' ? -cents : cents;
}

std::string centsText(Cents value) {
    const Cents magnitude = value < 0 ? -value : value;
    std::string fraction = std::to_string(magnitude % 100);
    if (fraction.size() < 2) {
        fraction.insert(0, 1, '0');
    }
    return (value < 0 ? "-" : "") + std::to_string(magnitude / 100) + '.' + fraction;
}

std::optional<CentSchedule> centSchedule(const ScheduleOffer& schedule, double creditValue) {
    const auto credit = toCents(creditValue);
    if (!schedule.valid || schedule.months.empty() || !credit) {
        return std::nullopt;
    }
    CentSchedule out;
    out.credit = *credit;
    out.months.reserve(schedule.months.size());
    Cents balance = *credit;
    for (std::size_t i = 0; i < schedule.months.size(); ++i) {
        const MonthRow& m = schedule.months[i];
        const auto instalment = toCents(m.instalment);
        const auto interest = toCents(m.interest);
        const auto commission = toCents(m.commission);
        const auto insurance = toCents(m.insurance);
        if (!instalment || !interest || !commission || !insurance) {
            return std::nullopt;
        }
        CentRow row{m.month, *instalment, *interest, *commission, *insurance, 0, 0};
        if (i + 1 == schedule.months.size()) {
            row.principal = balance; // the last month settles what is still due
            row.instalment = row.interest + row.commission + row.insurance + row.principal;
        } else {
            row.principal = row.instalment - row.interest - row.commission - row.insurance;
        }
        balance -= row.principal;
        row.balance = balance;
        out.totals.instalment += row.instalment;
        out.totals.interest += row.interest;
        out.totals.commission += row.commission;
        out.totals.insurance += row.insurance;
        out.totals.principal += row.principal;
        out.months.push_back(row);
    }
    return out;
}

} // namespace offer
