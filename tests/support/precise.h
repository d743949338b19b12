#pragma once

#include <array>
#include <charconv>
#include <string>

namespace testsupport {

// A double in failure messages as the shortest text that reads back to the same value: two
// figures that differ in the last bit never print alike.
inline std::string precise(double value) {
    std::array<char, 32> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    return {buf.data(), res.ptr};
}

} // namespace testsupport
