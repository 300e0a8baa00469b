#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kav {

// Errors of checked arithmetic and indexing. They abandon the current event
// handler; the handler boundary shows their text in one error box and the
// program goes on (see GuardHandler in Prompts.h).
class CheckedError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class IntegerOverflow : public CheckedError {
  public:
    IntegerOverflow() : CheckedError("Integer overflow") {}
};

class RangeError : public CheckedError {
  public:
    RangeError() : CheckedError("Range check error") {}
};

// Narrows a 64-bit value to 32 bits, throwing IntegerOverflow when it does not fit.
inline int32_t CheckedNarrow(int64_t value) {
    if (value < INT32_MIN || value > INT32_MAX)
        throw IntegerOverflow();
    return static_cast<int32_t>(value);
}

}  // namespace kav
