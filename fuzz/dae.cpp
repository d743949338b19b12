#include "fuzz/check.h"
#include "fuzz/draw.h"
#include "runtime/runtime_error.h"
#include "schedule/cash_flows.h"
#include "schedule/dae_scan.h"
#include "schedule/schedule.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The fast DAE scan against the plain one: where the fast one answers, the plain one gives the
// same bits. The first byte picks the case: the cash flows of a schedule as the window builds it
// (rates and duration within a tariff's ranges, some months then overwritten with arbitrary
// figures), or an arbitrary series of cash flows and starting rate. Where the fast scan declines,
// dae_ok runs the plain one itself: nothing to compare.
namespace {

using fuzz::require;

void compare(std::span<const double> flows, double r0) {
    const std::optional<double> fast = schedule::detail::scanFast(flows, r0);
    if (!fast) {
        return;
    }
    bool same = false;
    try {
        same = std::bit_cast<std::uint64_t>(schedule::detail::scanReference(flows, r0)) ==
               std::bit_cast<std::uint64_t>(*fast);
    } catch (const runtime::RuntimeError&) {
        same = false; // the fast scan answered a series the plain one refuses
    }
    require(same, "the fast DAE scan differs from the plain one");
}

// A figure of a cash flow: mostly an amount of either sign, sometimes anything at all.
double flow(fuzz::Draw& draw) {
    const std::uint8_t kind = draw.byte();
    if (kind < 0x20) {
        return draw.raw();
    }
    return (kind & 1) != 0 ? -draw.amount() : draw.amount();
}

void scheduleCase(fuzz::Draw& draw) {
    const double DOB = draw.rate();
    const double comision = draw.rate();
    const double comgestluna = draw.rate();
    const double procasig = draw.rate();
    const double per = draw.duration();
    const double valcr = draw.amount();
    const std::uint8_t received = draw.byte();
    double cs = valcr / (1.0 + comision); // what the granting commission leaves
    if ((received & 0x0f) == 0) {
        cs = valcr;
    } else if ((received & 0x0f) == 1) {
        cs = flow(draw);
    }

    schedule::MonthlySchedule months;
    if ((received & 0x10) != 0) { // an earlier, longer schedule leaves its tail behind
        schedule::calcratacomsold(draw.amount(), draw.rate(), draw.duration(), draw.rate(),
                                  procasig, months);
    }
    schedule::calcratacomsold(valcr, DOB, per, comgestluna, procasig, months);
    for (std::uint8_t changed = draw.byte() % 4; changed > 0; --changed) {
        const std::size_t m = 1 + draw.bits32() % (schedule::MonthlySchedule::size - 1);
        (draw.byte() % 2 == 0 ? months.aprincipal : months.adobanda)[m] = flow(draw);
    }

    if (!(per > 1.0 && per < 12.0)) { // the durations dae_ok scans
        compare(schedule::detail::cashFlows(cs, per, months),
                schedule::detail::firstTrialRate(DOB, comision, per, comgestluna));
    }
}

void flowsCase(fuzz::Draw& draw) {
    std::vector<double> flows(1 + draw.byte() % 40);
    for (double& value : flows) {
        value = flow(draw);
    }
    const std::uint8_t start = draw.byte();
    double r0 =
        schedule::detail::firstTrialRate(draw.rate(), draw.rate(), draw.duration(), draw.rate());
    if (start < 0x40) {
        r0 = draw.raw();
    }
    compare(flows, r0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Draw draw(data, size);
    if (draw.byte() % 2 == 0) {
        scheduleCase(draw);
    } else {
        flowsCase(draw);
    }
    return 0;
}
