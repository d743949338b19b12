#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace fuzz {

// Reads figures off the fuzzer's bytes, each within the range a caller asks for. Past the end of
// the input every read gives 0 bytes, so a short input is still a whole case.
class Draw {
public:
    Draw(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }

    std::uint32_t bits32() {
        std::uint32_t value = 0;
        for (int k = 0; k < 4; ++k) {
            value = (value << 8) | byte();
        }
        return value;
    }

    // Any double at all: NaN payloads, infinities, subnormals, huge values.
    double raw() {
        std::uint64_t bits = (std::uint64_t{bits32()} << 32) | bits32();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // From lo up to but not including hi, on a grid of 2^32 points.
    double fraction(double lo, double hi) {
        return lo + (hi - lo) * (static_cast<double>(bits32()) * 0x1p-32);
    }

    // A rate of a tariff: from 0 up to but not including 1.
    double rate() { return fraction(0.0, 1.0); }

    // A duration in months, 0 to 600: whole mostly, fractional sometimes; up to 3 years 63 times
    // out of 64, as the cost of the plain DAE scan grows with the months.
    double duration() {
        const std::uint8_t kind = byte();
        const bool longOne = kind >= 0xfc;
        if ((kind & 0x03) == 0) {
            return fraction(0.0, longOne ? 600.0 : 36.0);
        }
        return static_cast<double>(bits32() % (longOne ? 601U : 37U));
    }

    // A finite amount, not negative, from cents to far beyond any credit.
    double amount() {
        const std::uint8_t scale = byte() % 16;
        double value = fraction(0.0, 1.0);
        for (std::uint8_t k = 0; k < scale; ++k) {
            value *= 10.0;
        }
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

} // namespace fuzz
