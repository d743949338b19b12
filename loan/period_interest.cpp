#include "loan/loan.h"

#include <cmath>

namespace loan {

runtime::Variant calccomgestsold(const Amount& valcr, Rate comgestluna) {
    return comgestluna * valcr;
}

runtime::Variant DOBAFERENTA(const Amount& r, const Amount& vc, const Months& per) {
    return r * per - vc;
}

double INDBNR(const Amount& vn, const Amount& Td, const Amount& rtlx, const Amount& tad) {
    if (vn == 0.0 || vn == tad) {
        return 0.0;
    }
    return std::fabs((Td + rtlx) / (vn - tad));
}

} // namespace loan
