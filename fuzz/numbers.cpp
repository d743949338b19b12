#include "fuzz/check.h"
#include "runtime/format.h"
#include "runtime/numeric.h"
#include "runtime/runtime_error.h"
#include "runtime/val.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// Val on arbitrary text, then Format and number to text on what it read and on the first eight
// bytes taken as a double (NaN payloads, subnormals, huge values).
namespace {

using fuzz::require;

void show(double value) {
    for (const char* pattern : {"0.00", " 0.00", "## ###.00"}) {
        const std::string shown = runtime::Format(value, pattern);
        require(!shown.empty() && shown.size() < 400, "Format: empty or runaway text");
        require(shown.find("-0.00") != 0 && shown.find(" -0.00") != 0, "Format: minus zero");
        if (std::isfinite(value) && std::fabs(value) < 1e12) {
            // Val reads the display back to the value, to the cent.
            const double back = runtime::Val(shown);
            require(std::fabs(back - value) <= 0.0050001 + std::fabs(value) * 1e-15,
                    "Format: the display does not read back to the value");
        }
    }
    const std::string text = runtime::NumberToText(value);
    require(!text.empty() && text.size() <= 24, "NumberToText: empty or too long");
    require(text != "-0", "NumberToText: minus zero");
    try {
        const std::int16_t whole = runtime::toInt16(value);
        require(std::fabs(whole - value) <= 0.5, "toInt16: not the nearest integer");
    } catch (const runtime::RuntimeError&) {
        require(!(std::fabs(value) < 32767.0), "toInt16: refused a value in range");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    show(runtime::Val(text));
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        show(raw);
    }
    return 0;
}
