#include "runtime/numeric.h"
#include "schedule/cash_flows.h"
#include "schedule/dae_scan.h"
#include "schedule/schedule.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <optional>
#include <random>
#include <string>
#include <vector>

// The error bounds the fast DAE scan rests on, against figures computed in quadruple precision:
// std::pow as accurate as the bounds assume, and each trial's bars holding the exact figure, the
// plain scan's figure, and every figure a platform within the pow assumption could compute.
namespace {

__extension__ using Quad = __float128; // 113-bit significand: exact enough to measure doubles

std::string text(double value) {
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return std::string(buffer.data(), end);
}

double relative(Quad computed, Quad exact) {
    const Quad error = computed > exact ? computed - exact : exact - computed;
    return static_cast<double>(error / exact);
}

// The powers both scans take: b^k for k up to 601, b^k within 2^+-90. glibc promises under 1 ulp;
// the bounds assume 4.
TEST(DaeBounds, PowerWithinTheAssumedError) {
    std::mt19937_64 engine(3);
    std::uniform_real_distribution<double> rate(-0.5, 1.0);
    double worst = 0.0;
    double worstB = 0.0;
    int worstK = 0;
    for (int round = 0; round < 400; ++round) {
        const double b =
            round % 4 == 0 ? 1.0 + std::ldexp(rate(engine), -round % 40) : 1.0 + rate(engine);
        Quad power = 1;
        for (int k = 1; k <= 601; ++k) {
            power *= b;
            if (std::fabs(std::log2(b)) * k > 90.0) {
                break;
            }
            const double error = relative(std::pow(b, static_cast<double>(k)), power);
            if (error > worst) {
                worst = error;
                worstB = b;
                worstK = k;
            }
        }
    }
    EXPECT_LE(worst, schedule::detail::powerError)
        << "pow(" << text(worstB) << ", " << worstK << ") is off by " << text(worst / 0x1p-52)
        << " ulp";
}

struct Series {
    std::string name;
    std::vector<double> flows;
    double r0 = 0;
};

std::vector<Series> seriesToCheck() {
    std::vector<Series> all;
    std::mt19937_64 engine(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (double per : {12.0, 24.0, 60.0, 120.0, 360.0, 600.0}) {
        for (int k = 0; k < 4; ++k) {
            schedule::MonthlySchedule months;
            const double valcr = 500.0 + 60000.0 * unit(engine);
            const double DOB = 0.2 * unit(engine);
            const double comgestluna = 0.02 * unit(engine);
            schedule::calcratacomsold(valcr, DOB, per, comgestluna, 0.0, months);
            const double cs = valcr / (1.0 + 0.087 * k / 3.0);
            all.push_back({"schedule of " + text(per) + " months",
                           schedule::detail::cashFlows(cs, per, months),
                           schedule::detail::firstTrialRate(DOB, 0.087, per, comgestluna)});
        }
    }
    for (int n : {1, 2}) { // few terms: the plain scan's bound weighs most beside the other
        for (int k = 0; k < 12; ++k) {
            std::vector<double> flows(static_cast<std::size_t>(n) + 1);
            flows[0] = 1000.0 * unit(engine);
            for (int i = 1; i <= n; ++i) {
                flows[static_cast<std::size_t>(i)] = -800.0 * unit(engine);
            }
            all.push_back({text(n) + " payments", flows, 0.3 * unit(engine) - 0.1});
        }
    }
    for (int n : {37, 240, 599}) { // one payment at the end: Horner's error builds up most
        std::vector<double> flows(static_cast<std::size_t>(n) + 1, 0.0);
        flows[0] = 1000.0;
        flows.back() = -5000.0;
        all.push_back({"balloon at month " + text(n), flows, 0.001});
    }
    return all;
}

// L3 and L5: at every trial, the Horner figures, the plain scan's distance and the exact figures
// lie within the bars the fast scan decides with.
TEST(DaeBounds, BarsHoldTheExactAndThePlainFigures) {
    int checked = 0;
    for (const Series& series : seriesToCheck()) {
        SCOPED_TRACE(series.name + ", r0 " + text(series.r0));
        const std::size_t n = series.flows.size() - 1;
        double rate = series.r0;
        for (int j = 0; j < schedule::detail::trialCount; ++j) {
            if (j > 0) {
                rate += schedule::detail::trialStep;
            }
            if (j % 7 != 0 && j != 600) {
                continue;
            }
            const std::optional<schedule::detail::TrialFigures> t =
                schedule::detail::trialFigures(series.flows, series.r0, j);
            ASSERT_TRUE(t) << "the fast scan does not take the series";
            const Quad x = Quad(1) / Quad(1.0 + rate);
            Quad h = 0;
            Quad power = 1;
            for (std::size_t i = 1; i <= n; ++i) {
                power *= x;
                h -= Quad(series.flows[i]) * power;
            }
            const Quad G = Quad(series.flows[0]) - h;
            const Quad F = x * G;
            const double exactDistance = static_cast<double>(F < 0 ? -F : F);
            const double plain = std::fabs(runtime::NPV(rate, series.flows));
            const double hornerError = static_cast<double>(t->G > G ? Quad(t->G) - G : G - t->G);
            const double plainError = std::fabs(plain - exactDistance);
            const double distanceError = std::fabs(t->distance - exactDistance);
            SCOPED_TRACE("trial " + std::to_string(j));
            EXPECT_LE(hornerError, t->marginG) << "G off by " << text(hornerError);
            EXPECT_LE(plainError, t->marginPlain) << "plain distance off by " << text(plainError);
            // The plain figure may be anywhere marginPlain allows on another platform.
            EXPECT_LE(distanceError + t->marginPlain, t->margin)
                << "Horner's distance off by " << text(distanceError);
            ++checked;
        }
    }
    EXPECT_GT(checked, 4000);
}

} // namespace
