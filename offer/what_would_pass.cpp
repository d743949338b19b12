#include "offer/what_would_pass.h"

#include "loan/loan.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

// The acceptance rule is not monotone in the down payment or the product value: the rate grid
// and the commission bands jump at credit-value edges. Between two edges, though, the variants
// share one annual rate and one commission rate (the bands of the first two calls of the
// commission see the form's present credit and duration, the same for every variant), so that
// there the instalment grows with the credit value and, in order of decreasing credit, the
// verdicts run: out of limits or over-indebted (the instalment plus the other instalments too
// large), then accepted, then over-indebted the other way (too negative, only with negative
// amounts typed). Each answer is therefore the first point past that first stretch in some run
// of equal cell, found by bisection on real variants, and checked to be accepted by its own
// variant.
//
// The lender's legal limits split the runs again where the total credit crosses a limit's bound.
// Within a run their measures (the DAE, the cost per day, the payable ratio) do not fall as the
// credit shrinks: interest, commissions and insurance are shares of the credit, and a minimum
// granting commission only weighs more on a smaller one. So when the run's largest credit past
// the first stretch is over a limit, every smaller one of the run is too.
namespace offer {
namespace {

struct Probe {
    Verdict verdict = Verdict::accepted;
    bool creditTooLarge = false; // out of limits, or refused with a positive indebtedness sum
};

// Integers k = 0..count-1 standing for the texts of one box in order of decreasing credit value.
class Line {
public:
    Line(WhatIf& whatIf, Control box, long long first, long long step)
        : whatIf_(whatIf), box_(box), first_(first), step_(step) {}

    long long value(long long k) const { return first_ + step_ * k; }

    Probe probe(long long k) {
        std::array<char, 24> text{};
        const auto end = std::to_chars(text.data(), text.data() + text.size(), value(k)).ptr;
        const ui::Form1& copy = whatIf_.set(box_, {text.data(), end});
        const Verdict v = whatIf_.verdict();
        const core::SimulationState& s = copy.state();
        return {v, v == Verdict::limit || (v == Verdict::refused && s.ratealte + s.ratatotala > 0)};
    }

private:
    WhatIf& whatIf_;
    Control box_;
    long long first_;
    long long step_;
};

// The cell of a credit value among the edges: 2i between edge i-1 and edge i, 2i+1 on edge i.
// Non-decreasing in the credit value.
std::size_t cellOf(double credit, const std::vector<double>& edges) {
    const auto below = std::lower_bound(edges.begin(), edges.end(), credit);
    const auto n = static_cast<std::size_t>(below - edges.begin());
    return 2 * n + (below != edges.end() && *below == credit ? 1 : 0);
}

// The first k in [a, b] for which `pred` is false, when it is true on a prefix; b + 1 if none.
template <typename Pred> long long firstFalse(long long a, long long b, Pred pred) {
    while (a <= b) {
        const long long mid = a + (b - a) / 2;
        if (pred(mid)) {
            a = mid + 1;
        } else {
            b = mid - 1;
        }
    }
    return a;
}

// Where a variant lies: its credit value's cell among the edges of the rate grid and the bands,
// and its total credit's among the bounds of the legal limits.
struct Cells {
    const std::vector<double>& credit;
    std::vector<double> total;

    explicit Cells(const std::vector<double>& edges, const core::SimulationState& s)
        : credit(edges) {
        const std::vector<tariff::LegalLimit>& limits = s.tarif->terms().legal_limits;
        if (!limits.empty()) {
            // Nothing financed has no legal figures at all, hence breaches no limit: a run apart.
            total.push_back(0);
        }
        for (const tariff::LegalLimit& limit : limits) {
            for (const auto& bound : {limit.credit_min, limit.credit_max}) {
                if (bound) {
                    total.push_back(*bound);
                }
            }
        }
        std::sort(total.begin(), total.end());
        total.erase(std::unique(total.begin(), total.end()), total.end());
    }

    std::pair<std::size_t, std::size_t> of(double creditValue, double totalCredit) const {
        return {cellOf(creditValue, credit), cellOf(totalCredit, total)};
    }
};

// The first accepted k of [0, count): runs of equal cells in turn, and in each the first variant
// whose credit is not too large, which is the run's only candidate. `cellAt(k)` is where the
// variant k lies; it changes only at the runs' ends.
template <typename CellAt>
std::optional<long long> firstAccepted(Line& line, long long count, CellAt cellAt) {
    long long start = 0;
    while (start < count) {
        const auto cell = cellAt(start);
        const long long end =
            firstFalse(start + 1, count - 1, [&](long long k) { return cellAt(k) == cell; });
        // Run [start, end): its last point first, since most runs are wholly out of limits.
        const Probe last = line.probe(end - 1);
        if (!last.creditTooLarge) {
            long long k = end - 1;
            Probe found = last;
            if (end - 1 > start) {
                k = firstFalse(start, end - 2,
                               [&](long long j) { return line.probe(j).creditTooLarge; });
                if (k < end - 1) {
                    found = line.probe(k);
                }
            }
            if (found.verdict == Verdict::accepted) {
                return line.value(k);
            }
        }
        start = end;
    }
    return std::nullopt;
}

std::optional<long long> minDownPayment(WhatIf& whatIf, const core::SimulationState& s,
                                        const Cells& cells) {
    const double vp = s.valoareprodus;
    if (vp < 0) {
        return std::nullopt;
    }
    const auto top = static_cast<long long>(std::floor(vp));
    Line line(whatIf, Control::tbavans, 0, 1);
    // The smallest financed amount is within the limits unless nothing is: the duration is out.
    if (line.probe(top).verdict == Verdict::limit) {
        return std::nullopt;
    }
    auto cellAt = [&](long long k) {
        const auto avans = static_cast<double>(k);
        return cells.of(runtime::toDouble(loan::valcredit(vp, s.comacord, avans, s.comacordmin)),
                        vp - avans);
    };
    return firstAccepted(line, top + 1, cellAt);
}

std::optional<long long> maxProductValue(WhatIf& whatIf, const core::SimulationState& s,
                                         const Cells& cells) {
    const double highest = s.valavans + s.plafoncredit / (1 + s.comacord);
    if (!(highest >= 0)) {
        return std::nullopt;
    }
    const auto top = static_cast<long long>(std::floor(highest));
    // A product value of 0 gives a credit value of 0 whatever the down payment: it is not in
    // line with the others and is tried last, alone.
    Line zero(whatIf, Control::tbvp, 0, 1);
    const Probe atZero = zero.probe(0);
    if (atZero.verdict == Verdict::limit) {
        return std::nullopt; // the smallest financed amount is out: the duration is
    }
    Line line(whatIf, Control::tbvp, top, -1);
    auto cellAt = [&](long long k) {
        const auto value = static_cast<double>(top - k);
        return cells.of(
            runtime::toDouble(loan::valcredit(value, s.comacord, s.valavans, s.comacordmin)),
            value - s.valavans);
    };
    if (const auto found = firstAccepted(line, top, cellAt)) {
        return found;
    }
    return atZero.verdict == Verdict::accepted ? std::optional<long long>(0) : std::nullopt;
}

void durations(WhatIf& whatIf, const core::SimulationState& s, Answers& out) {
    const double lowest = std::ceil(s.durmin);
    const double highest = std::floor(s.durmax);
    if (!(lowest <= highest)) {
        return;
    }
    const auto first = static_cast<long long>(lowest);
    const auto last = static_cast<long long>(highest);
    Line line(whatIf, Control::tbdurcred, first, 1);
    for (long long k = 0; first + k <= last; ++k) {
        if (line.probe(k).verdict == Verdict::accepted) {
            out.minDuration = first + k;
            break;
        }
    }
    if (!out.minDuration) {
        return;
    }
    for (long long d = last; d >= *out.minDuration; --d) {
        if (line.probe(d - first).verdict == Verdict::accepted) {
            out.maxDuration = d;
            break;
        }
    }
}

} // namespace

AnswerTexts answerTexts(const Answers& a) {
    constexpr const char* none = "nu exista";
    auto ron = [&](const std::optional<long long>& v) {
        return v ? std::to_string(*v) + " RON" : std::string(none);
    };
    AnswerTexts out{ron(a.minDownPayment), none, ron(a.maxProductValue)};
    if (a.minDuration && a.maxDuration) {
        out.durations =
            *a.minDuration == *a.maxDuration
                ? std::to_string(*a.minDuration) + " luni"
                : std::to_string(*a.minDuration) + " - " + std::to_string(*a.maxDuration) + " luni";
    }
    return out;
}

std::vector<double> creditEdges(const core::SimulationState& s) {
    // The bounds of the grid's rules and of the commission bands, in RON of credit value; an
    // exclusive bound is an edge as much as an inclusive one.
    const tariff::Terms& t = s.tarif->terms();
    std::vector<double> edges;
    for (const tariff::InterestRule& rule : t.interest) {
        for (const auto& bound :
             {rule.credit_min, rule.credit_above, rule.credit_max, rule.credit_below}) {
            if (bound) {
                edges.push_back(*bound);
            }
        }
    }
    for (const tariff::CommissionBand& band : t.management_commission.bands) {
        edges.push_back(band.credit_min);
        edges.push_back(band.credit_max);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    return edges;
}

Answers whatWouldPass(WhatIf& whatIf, const ui::Form1& form) {
    const core::SimulationState& s = form.state();
    Answers out;
    for (const double amount : {s.valoareprodus, s.valavans}) {
        if (!std::isfinite(amount) || amount > answerCutOff) {
            return out;
        }
    }
    const std::vector<double> edges = creditEdges(s);
    const Cells cells(edges, s);
    out.minDownPayment = minDownPayment(whatIf, s, cells);
    durations(whatIf, s, out);
    out.maxProductValue = maxProductValue(whatIf, s, cells);
    return out;
}

} // namespace offer
