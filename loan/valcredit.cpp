#include "loan/loan.h"

namespace loan {

runtime::Variant valcredit(const Amount& cs1, const Rate& comision, const Amount& avans,
                           Amount comacordmin) {
    const Amount base = cs1 - avans;
    Amount credit = 0.0;
    if (comision == 0.0) {
        credit = base * (1.0 + comision);
    } else {
        // A down payment above the value makes the commission negative, hence below the minimum:
        // the negative base is then taken as it is.
        const Amount commission = base * comision;
        credit = commission < comacordmin ? base + comacordmin : base * (1.0 + comision);
    }
    if (cs1 == 0.0) {
        return 0.0;
    }
    return credit;
}

} // namespace loan
