#pragma once

#include <cstdint>
#include <span>

namespace runtime {

// Nearest 16-bit integer, ties to even (2.5 -> 2, 3.5 -> 4). Out of range or NaN: RuntimeError.
std::int16_t toInt16(double value);

// base ^ exponent. A negative base with a fractional exponent, or zero to a negative power, is
// an invalid power: RuntimeError. Overflow gives infinity, as plain arithmetic does.
double Power(double base, double exponent);

// Net present value: sum of values[i] / (1 + rate)^(i + 1), the first value discounted too.
// A series without a positive or without a negative value is a RuntimeError.
double NPV(double rate, std::span<const double> values);

// Where the Newton iteration of IRR starts and when it stops.
struct IrrSettings {
    double guess = 0.1;
    double accuracy = 1e-10; // stop once the rate moves less than this
    int maxIterations = 100;
};

// Internal rate of return: the r with sum of values[i] / (1 + r)^i = 0, by Newton's method.
// RuntimeError when the series has no positive or no negative value, when the rate reaches -1
// or below, when the derivative is zero or not finite, or when it does not converge.
double IRR(std::span<const double> values, const IrrSettings& settings = {});

} // namespace runtime
