#include "schedule/schedule.h"

#include "runtime/numeric.h"

namespace schedule {

runtime::Variant sumacccomsold(const Amount& sal, const Rate& DOB, const Rate& comision,
                               const Months& per, const double& ibnr, const Rate& asi,
                               const Amount& arate, const Amount& adat, const Rate& cl,
                               Amount plafoncredit, Rate limit) {
    const Rate a = (cl * 12.0 + DOB) / 12.0;
    const double b = 1.0 - 1.0 / runtime::Power(1.0 + a, per);
    const Amount c = (sal - adat) * limit - arate;

    Amount M = 0.0;
    if (sal != 0.0) {
        if (DOB != 0.0) {
            M = c / (comision + 1.0) / (a / b + asi);
        } else {
            // Interest-free: neither the granting commission nor the insurance enters.
            M = c / (1.0 / per + cl);
        }
    }

    const Amount L = plafoncredit / (comision + 1.0);
    if (L < M) {
        return L;
    }
    if (ibnr > limit) {
        return -1.0; // refused for indebtedness
    }
    if (ibnr < limit) {
        return M;
    }
    return std::nullopt;
}

} // namespace schedule
