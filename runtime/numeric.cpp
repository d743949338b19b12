#include "runtime/numeric.h"

#include "runtime/runtime_error.h"

#include <cmath>

namespace runtime {
namespace {

void requireSignChange(std::span<const double> values, const char* message) {
    bool positive = false;
    bool negative = false;
    for (double v : values) {
        positive = positive || v > 0.0;
        negative = negative || v < 0.0;
    }
    if (!positive || !negative) {
        raise(message);
    }
}

} // namespace

std::int16_t toInt16(double value) {
    if (std::isnan(value) || value < -32768.5 || value > 32767.5) {
        raise("Overflow");
    }
    double rounded = std::floor(value);
    const double fraction = value - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) {
        rounded += 1.0;
    }
    if (rounded < -32768.0 || rounded > 32767.0) {
        raise("Overflow");
    }
    return static_cast<std::int16_t>(rounded);
}

double Power(double base, double exponent) {
    if (base < 0.0 && std::isfinite(exponent) && std::trunc(exponent) != exponent) {
        raise("Invalid power");
    }
    if (base == 0.0 && exponent < 0.0) {
        raise("Invalid power");
    }
    return std::pow(base, exponent);
}

double NPV(double rate, std::span<const double> values) {
    requireSignChange(values, "NPV: the series needs a positive and a negative value");
    double total = 0.0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        total += values[i] / std::pow(1.0 + rate, static_cast<double>(i + 1));
    }
    return total;
}

double IRR(std::span<const double> values, const IrrSettings& settings) {
    requireSignChange(values, "IRR: the series needs a positive and a negative value");
    double rate = settings.guess;
    for (int iteration = 0; iteration < settings.maxIterations; ++iteration) {
        double f = 0.0;
        double slope = 0.0;
        for (std::size_t i = 0; i < values.size(); ++i) {
            const double discount = std::pow(1.0 + rate, static_cast<double>(i));
            f += values[i] / discount;
            slope -= static_cast<double>(i) * values[i] / (discount * (1.0 + rate));
        }
        if (!std::isfinite(slope) || slope == 0.0 || !std::isfinite(f)) {
            raise("IRR: the iteration cannot go on");
        }
        const double next = rate - f / slope;
        if (!std::isfinite(next) || next <= -1.0) {
            raise("IRR: the rate left the valid range");
        }
        if (std::fabs(next - rate) < settings.accuracy) {
            return next;
        }
        rate = next;
    }
    raise("IRR: no convergence");
}

} // namespace runtime
