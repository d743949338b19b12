#pragma once

#include <utility>

namespace runtime {

// Gives a variable a value for as long as the guard lives and puts the previous one back when
// the scope ends, by return or by exception: a re-entrancy flag or a nesting depth can never be
// left set by a failure in between.
template <typename T> class ScopedValue {
public:
    ScopedValue(T& target, T value) : target_(target), previous_(std::exchange(target, value)) {}
    ~ScopedValue() { target_ = previous_; }

    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    T& target_;
    T previous_;
};

} // namespace runtime
