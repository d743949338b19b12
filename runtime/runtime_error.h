#pragma once

#include <stdexcept>

namespace runtime {

// The one error the runtime functions raise (integer overflow, an IRR that does not converge,
// a cash-flow series without a sign change, an invalid power). Formula procedures let it pass;
// it is caught only where a notification started the work.
class RuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void raise(const char* message) {
    throw RuntimeError(message);
}

} // namespace runtime
