#include "fuzz/check.h"
#include "tariff/read.h"
#include "tariff/write.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// The tariff reader on arbitrary bytes: a tariff or problems, never both nor neither; every
// problem has a pointer and a reason; a tariff read (either version, the law's blocks included)
// is written out and read back unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz::require;
    const tariff::ReadResult r =
        tariff::read(std::string_view(reinterpret_cast<const char*>(data), size));
    require(r.tariff.has_value() != !r.problems.empty(), "tariff: a tariff and problems");
    for (const tariff::Problem& p : r.problems) {
        require(!p.pointer.empty() && p.pointer.front() == '/' && !p.reason.empty(),
                "tariff: a problem without its pointer or reason");
    }
    if (r.tariff) {
        const tariff::ReadResult again = tariff::read(tariff::write(*r.tariff));
        require(again.tariff && again.tariff->terms() == r.tariff->terms(),
                "tariff: written out, it does not read back the same");
    }
    return 0;
}
