#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzz {

// A broken promise of the code under test: say which, and stop as a crash does, so that the
// fuzzer keeps the input.
inline void require(bool holds, const char* promise) {
    if (!holds) {
        std::fputs(promise, stderr);
        std::fputc('\n', stderr);
        std::abort();
    }
}

} // namespace fuzz
