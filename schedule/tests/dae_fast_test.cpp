#include "runtime/runtime_error.h"
#include "schedule/cash_flows.h"
#include "schedule/dae_scan.h"
#include "schedule/schedule.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

// The fast scan against the plain one: the same bits of the effective rate, or the same error,
// on schedules the window can produce and on arrays it cannot.
namespace {

using schedule::MonthlySchedule;

struct Inputs {
    double cs = 0;
    double DOB = 0;
    double comision = 0;
    double per = 0;
    double comgestluna = 0;
};

std::string text(double value) {
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return std::string(buffer.data(), end);
}

std::string describe(const Inputs& in, const MonthlySchedule& months) {
    std::string out = "cs " + text(in.cs) + " DOB " + text(in.DOB) + " comision " +
                      text(in.comision) + " per " + text(in.per) + " comgestluna " +
                      text(in.comgestluna) + " months 1..3";
    for (std::size_t i = 1; i <= 3; ++i) {
        out += " (" + text(months.acomgest[i]) + ", " + text(months.adobanda[i]) + ", " +
               text(months.aprincipal[i]) + ")";
    }
    return out;
}

struct Outcome {
    bool threw = false;
    std::string error;
    std::uint64_t bits = 0;
};

template <class F> Outcome outcomeOf(F f) {
    Outcome o;
    try {
        o.bits = std::bit_cast<std::uint64_t>(f());
    } catch (const runtime::RuntimeError& e) {
        o.threw = true;
        o.error = e.what();
    }
    return o;
}

testing::AssertionResult sameAsPlain(const Inputs& in, const MonthlySchedule& months) {
    const Outcome fast = outcomeOf([&] {
        return schedule::dae_ok(in.cs, in.DOB, in.comision, in.per, in.comgestluna, months);
    });
    const Outcome plain = outcomeOf([&] {
        return schedule::dae_ok_reference(in.cs, in.DOB, in.comision, in.per, in.comgestluna,
                                          months);
    });
    if (fast.threw == plain.threw && fast.error == plain.error && fast.bits == plain.bits) {
        return testing::AssertionSuccess();
    }
    auto show = [](const Outcome& o) {
        return o.threw ? "error \"" + o.error + "\"" : text(std::bit_cast<double>(o.bits));
    };
    return testing::AssertionFailure()
           << describe(in, months) << ": fast " << show(fast) << ", plain " << show(plain);
}

class Draw {
public:
    explicit Draw(std::uint64_t seed) : engine_(seed) {}
    double uniform(double lo, double hi) { return std::uniform_real_distribution(lo, hi)(engine_); }
    int integer(int lo, int hi) { return std::uniform_int_distribution(lo, hi)(engine_); }
    bool chance(double p) { return uniform(0.0, 1.0) < p; }
    template <class T> const T& pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(integer(0, static_cast<int>(items.size()) - 1))];
    }

private:
    std::mt19937_64 engine_;
};

// A duration as the window may pass it: whole months mostly, some fractional, some tiny; short
// ones more often than long ones (log-uniform), as the plain scan's cost grows with the months.
double durationOf(Draw& d) {
    const double roll = d.uniform(0.0, 1.0);
    const double span = std::exp(d.uniform(std::log(0.3), std::log(600.0)));
    if (roll < 0.55) {
        return std::max(1.0, std::round(span));
    }
    if (roll < 0.85) {
        return span;
    }
    if (roll < 0.95) {
        return d.integer(0, 24) + d.pick(std::vector<double>{0.3, 0.5, 0.6, 0.7});
    }
    return d.pick(std::vector<double>{1.0, 11.0, 11.5, 12.0, 12.5, 12.6, 120.0, 120.5, 550.0});
}

const std::vector<double> insurance = {0.0, 0.0044, 0.0035, 0.0065, 0.0009};
const std::vector<double> management = {0.0, 0.0015, 0.0025, 0.015, 0.02};

// Schedules built the way the driver builds them, sometimes over the stale tail of a longer
// earlier schedule, with the amount received near the credit, above it, or negative.
TEST(DaeFast, SameBitsAsPlainScanOnSchedules) {
    Draw d(20240501);
    int scanned = 0;
    for (int round = 0; round < 7000; ++round) {
        MonthlySchedule months;
        const double valcr = d.chance(0.05) ? -d.uniform(100.0, 5000.0) : d.uniform(50.0, 90000.0);
        const double DOB = d.chance(0.1) ? 0.0 : d.uniform(0.0, 0.2);
        const double comgestluna = d.pick(management);
        const double procasig = d.pick(insurance);
        if (d.chance(0.3)) { // an earlier, longer schedule leaves its tail behind
            schedule::calcratacomsold(d.uniform(100.0, 90000.0), d.uniform(0.0, 0.2),
                                      d.integer(300, 600), d.pick(management), procasig, months);
        }
        Inputs in;
        in.per = durationOf(d);
        in.DOB = DOB;
        in.comgestluna = comgestluna;
        in.comision = d.chance(0.5) ? 0.087 : 0.0;
        schedule::calcratacomsold(valcr, DOB, in.per, comgestluna, procasig, months);
        const double roll = d.uniform(0.0, 1.0);
        if (roll < 0.6) {
            in.cs = valcr / (1.0 + in.comision); // what the driver's commission leaves
        } else if (roll < 0.75) {
            in.cs = valcr; // the rate of the credit itself: the root sits on the first trial
        } else if (roll < 0.9) {
            in.cs = valcr * d.uniform(0.5, 1.2);
        } else {
            in.cs = -d.uniform(0.0, 2000.0);
        }
        scanned += in.per <= 1.0 || in.per >= 12.0;
        ASSERT_TRUE(sameAsPlain(in, months)) << "round " << round;
    }
    EXPECT_GT(scanned, 4500);
}

double hostileValue(Draw& d) {
    const double roll = d.uniform(0.0, 1.0);
    if (roll < 0.25) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (roll < 0.45) {
        return d.chance(0.5) ? std::numeric_limits<double>::infinity() : -1e308;
    }
    if (roll < 0.65) {
        return d.pick(std::vector<double>{1e-310, -1e-310, 5e-324, -0.0, 1e300, -1e300});
    }
    return d.uniform(-1e6, 1e6);
}

// Arrays no schedule produces: noise on the payments, a positive payment, NaN and infinity,
// subnormal and huge figures, starting rates far off, durations out of range.
TEST(DaeFast, SameBitsAsPlainScanOnHostileArrays) {
    Draw d(77);
    for (int round = 0; round < 3000; ++round) {
        MonthlySchedule months;
        Inputs in;
        in.per = d.chance(0.9)
                     ? durationOf(d)
                     : d.pick(std::vector<double>{0.0, -3.0, -0.4, 1500.0, 40000.0, std::nan("")});
        const double payment = d.uniform(1.0, 3000.0);
        const double noise = d.pick(std::vector<double>{0.0, 1e-12, 1e-6, 0.01, 0.5, 2.0});
        for (std::size_t m = 1; m < MonthlySchedule::size; ++m) {
            months.aprincipal[m] = payment * (1.0 + noise * d.uniform(-1.0, 1.0));
            months.adobanda[m] = d.chance(0.5) ? payment * d.uniform(0.0, 0.1) : 0.0;
            months.acomgest[m] = d.chance(0.5) ? payment * d.uniform(0.0, 0.05) : 0.0;
        }
        const int oddOnes = d.chance(0.5) ? d.integer(1, 3) : 0;
        for (int k = 0; k < oddOnes; ++k) {
            const auto m = static_cast<std::size_t>(d.integer(1, 600));
            const double value = hostileValue(d);
            (d.chance(0.5) ? months.aprincipal : months.adobanda)[m] = value;
        }
        const double months0 = std::max(1.0, std::round(std::fabs(in.per)));
        in.cs = d.chance(0.85) ? payment * months0 * d.uniform(0.3, 1.1) : hostileValue(d);
        in.DOB = d.chance(0.85) ? d.uniform(0.0, 0.2)
                                : d.pick(std::vector<double>{-30.0, -12.0, 1e14, 1e300});
        in.comision = d.chance(0.9) ? d.pick(std::vector<double>{0.0, 0.087}) : hostileValue(d);
        in.comgestluna = d.chance(0.9) ? d.pick(management) : d.uniform(-2.0, 2.0);
        ASSERT_TRUE(sameAsPlain(in, months)) << "round " << round;
    }
}

// A starting rate so large that adding the step changes nothing: all 601 trials are equal, so
// are their distances, and the 600 selected rates add up.
TEST(DaeFast, EqualDistancesAddTheirRates) {
    MonthlySchedule months;
    schedule::calcratacomsold(1000.0, 0.107, 24.0, 0.015, 0.0, months);
    const Inputs in{900.0, 1.2e14, 0.087, 24.0, 0.015};
    EXPECT_TRUE(sameAsPlain(in, months));
    const double r0 = schedule::detail::firstTrialRate(in.DOB, in.comision, in.per, 0.015);
    const std::vector<double> flows = schedule::detail::cashFlows(in.cs, in.per, months);
    double sum = 0.0;
    for (int j = 1; j <= 600; ++j) {
        sum += r0;
    }
    EXPECT_EQ(schedule::detail::scanReference(flows, r0), sum);
}

// Where both the fast and the plain scan are asked directly: the fast one must answer for the
// credits the window computes (else it is no faster), and answer the plain one's bits.
TEST(DaeFast, AnswersForOrdinaryCredits) {
    Draw d(5);
    int answered = 0;
    const int rounds = 1000;
    for (int round = 0; round < rounds; ++round) {
        MonthlySchedule months;
        const double valcr = d.uniform(500.0, 60000.0);
        const double DOB = d.uniform(0.05, 0.2);
        const double per = d.integer(12, 550);
        const double comgestluna = d.pick(management);
        schedule::calcratacomsold(valcr, DOB, per, comgestluna, d.pick(insurance), months);
        const std::vector<double> flows = schedule::detail::cashFlows(valcr / 1.087, per, months);
        const double r0 = schedule::detail::firstTrialRate(DOB, 0.087, per, comgestluna);
        const std::optional<double> fast = schedule::detail::scanFast(flows, r0);
        if (fast) {
            ++answered;
            ASSERT_EQ(std::bit_cast<std::uint64_t>(*fast),
                      std::bit_cast<std::uint64_t>(schedule::detail::scanReference(flows, r0)))
                << "valcr " << text(valcr) << " DOB " << text(DOB) << " per " << text(per);
        }
    }
    EXPECT_GE(answered, rounds * 99 / 100);
}

// The amount received that puts the root halfway between trials k and k + 1: their distances
// agree to rounding error, the hardest case to tell apart, and a few ulps either side turn up
// exactly equal distances, whose two rates the scan adds (one month's payment makes them likely).
// One round in eight puts it between trials 0 and 1, where the scan never takes trial 0's rate,
// be it the smallest or tied.
TEST(DaeFast, RootHalfwayBetweenTwoTrials) {
    Draw d(9);
    int ties = 0;
    for (int round = 0; round < 160; ++round) {
        MonthlySchedule months;
        const double valcr = d.uniform(500.0, 60000.0);
        const double per = d.chance(0.4) ? 1.0 : d.integer(12, 60);
        Inputs in{0.0, d.uniform(0.0, 0.2), 0.087, per, d.pick(management)};
        schedule::calcratacomsold(valcr, in.DOB, in.per, in.comgestluna, d.pick(insurance), months);
        std::vector<double> flows = schedule::detail::cashFlows(1.0, in.per, months);
        const double r0 =
            schedule::detail::firstTrialRate(in.DOB, in.comision, in.per, in.comgestluna);
        const int k = round % 8 == 0 ? 0 : d.integer(0, 599);
        double rate = r0;
        for (int j = 0; j < k; ++j) {
            rate += schedule::detail::trialStep;
        }
        const double rates[2] = {rate, rate + schedule::detail::trialStep};
        double payments = 0.0; // sum over both trials of the discounted payments
        double discount = 0.0; // sum over both trials of 1 / (1 + rate)
        for (double r : rates) {
            discount += 1.0 / (1.0 + r);
            for (std::size_t i = 1; i < flows.size(); ++i) {
                payments -= flows[i] / std::pow(1.0 + r, static_cast<double>(i + 1));
            }
        }
        const double halfway = payments / discount;
        for (int ulps = -12; ulps <= 12; ++ulps) {
            in.cs = halfway;
            for (int u = 0; u < std::abs(ulps); ++u) {
                in.cs = std::nextafter(in.cs, ulps < 0 ? 0.0 : 1e300);
            }
            ASSERT_TRUE(sameAsPlain(in, months)) << "round " << round << " ulps " << ulps;
            flows[0] = in.cs;
            const double m = schedule::detail::scanReference(flows, r0);
            ties += m > rates[1] + schedule::detail::trialStep;
        }
    }
    EXPECT_GT(ties, 0);
}

testing::AssertionResult sameScan(const std::vector<double>& flows, double r0) {
    const double fast = schedule::detail::scanFastOrReference(flows, r0);
    const double plain = schedule::detail::scanReference(flows, r0);
    if (std::bit_cast<std::uint64_t>(fast) == std::bit_cast<std::uint64_t>(plain)) {
        return testing::AssertionSuccess();
    }
    std::string series;
    for (double value : flows) {
        series += " " + text(value);
    }
    return testing::AssertionFailure() << "flows" << series << ", r0 " << text(r0) << ": fast "
                                       << text(fast) << ", plain " << text(plain);
}

// A starting rate near 2^38: the step is below half an ulp, so all 601 trials are equal, yet one
// payment keeps the powers within the range the fast scan takes. Their distances are equal too
// in the plain scan and the rates add up; the Horner figures differ from the plain ones by
// rounding, which only the bars of the trial below the candidates cover.
TEST(DaeFast, EqualTrialsWithinTheExponentRoom) {
    Draw d(38);
    for (int round = 0; round < 200; ++round) {
        const double r0 = std::ldexp(d.uniform(1.0, 2.0), d.integer(37, 44));
        const double payment = d.uniform(1.0, 1e6);
        const double received = payment / (1.0 + r0) * d.pick(std::vector<double>{0.5, 2.0});
        const std::vector<double> flows = {received, -payment};
        ASSERT_TRUE(sameScan(flows, r0)) << "round " << round;
    }
    const std::vector<double> found = {0x1.604f9d50677e9p-22, -0x1.2d788fad84458p+17};
    EXPECT_TRUE(sameScan(found, 0x1.b61db96c556f1p+38));
}

// Flows near the largest the error bounds cover, at a starting rate near -1: at trial 0 the plain
// scan's first term overflows to infinity and its second to minus infinity, so its distance is
// NaN, every comparison with it fails and the plain scan gives 0; from trial 600 on, every figure
// is finite. The fast scan must not take such a series.
TEST(DaeFast, FlowsBeyondTheCoveredRange) {
    for (double r0 : {-0.99, -0.985, -0.98, -0.9925}) {
        double last = r0;
        for (int j = 1; j < schedule::detail::trialCount; ++j) {
            last += schedule::detail::trialStep;
        }
        const double received = 0x1p1023 * (1.0 + r0) * 2.02;  // overflows at trial 0 only
        const double payment = received * (1.0 + last) * 1.01; // the root beyond the last trial
        const std::vector<double> flows = {received, -payment};
        EXPECT_TRUE(sameScan(flows, r0));
        EXPECT_EQ(schedule::detail::scanReference(flows, r0), 0.0);
    }
}

// Series the fast scan does not take go to the plain scan: its bits, or its error.
TEST(DaeFast, SeriesOutsideItsRangeGoToThePlainScan) {
    const double r0 = 0.01;
    const std::vector<double> noPayment = {100.0, 0.0, 0.0};
    EXPECT_FALSE(schedule::detail::scanFast(noPayment, r0));
    EXPECT_THROW(schedule::detail::scanFastOrReference(noPayment, r0), runtime::RuntimeError);
    EXPECT_FALSE(schedule::detail::scanFast(std::vector<double>{100.0}, r0));
    // More months than its bounds cover (2^15), at rates whose powers stay small.
    std::vector<double> longSeries((std::size_t{1} << 15) + 2, -1e-6);
    longSeries[0] = 100.0;
    EXPECT_FALSE(schedule::detail::scanFast(longSeries, 0.0));

    // A trial's figures exist for the 601 trials only.
    const std::vector<double> credit = {1000.0, -520.0, -520.0};
    EXPECT_TRUE(schedule::detail::trialFigures(credit, r0, 0));
    EXPECT_TRUE(schedule::detail::trialFigures(credit, r0, 600));
    EXPECT_FALSE(schedule::detail::trialFigures(credit, r0, -1));
    EXPECT_FALSE(schedule::detail::trialFigures(credit, r0, 601));
    EXPECT_FALSE(schedule::detail::trialFigures(noPayment, r0, 0));
}

} // namespace
