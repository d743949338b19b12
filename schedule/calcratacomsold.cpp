#include "schedule/schedule.h"

#include "runtime/numeric.h"

namespace schedule {

runtime::Variant calcratacomsold(const Amount& valcr, const Rate& DOB, const Months& DURCRED,
                                 Rate comgestluna, Rate procasig, MonthlySchedule& months) {
    const Rate a = (12.0 * comgestluna + DOB + 12.0 * procasig) / 12.0;

    runtime::Variant R;
    if (DURCRED != 0.0 && valcr != 0.0) {
        if (a == 0.0) {
            // No interest, commission or insurance: the annuity's limit, equal parts.
            R = valcr / DURCRED;
        } else {
            R = (a * valcr) / (1.0 - 1.0 / runtime::Power(1.0 + a, DURCRED));
        }
    }
    const double instalment = runtime::toDouble(R);

    auto& dob = months.adobanda;
    auto& com = months.acomgest;
    auto& asig = months.aasig;
    auto& princ = months.aprincipal;
    auto& sold = months.asold;

    dob[1] = valcr * DOB * 30.0 / 360.0;
    com[1] = valcr * comgestluna;
    asig[1] = procasig * valcr;
    princ[1] = instalment - dob[1] - com[1] - asig[1];
    sold[1] = valcr - princ[1];

    // Months are compared with the duration as Doubles: a fractional duration stops at its
    // whole part. The arrays end at month 600.
    for (std::size_t m = 2; m < MonthlySchedule::size && static_cast<double>(m) <= DURCRED; ++m) {
        dob[m] = sold[m - 1] * DOB * 30.0 / 360.0;
        com[m] = sold[m - 1] * comgestluna;
        asig[m] = sold[m - 1] * procasig;
        princ[m] = instalment - dob[m] - com[m] - asig[m];
        sold[m] = sold[m - 1] - princ[m];
    }
    return R;
}

} // namespace schedule
