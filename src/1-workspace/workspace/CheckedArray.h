#pragma once

#include <cstdint>
#include <vector>

#include "workspace/Errors.h"

namespace kav {

// A fixed-size array numbered 1..size() whose subscript is checked: an index
// outside that range throws RangeError, which the event-handler boundary turns
// into the standard error report. Element 0 exists but is never reachable
// through operator[]; data() gives unchecked access for the hot solver loops,
// with data()[k] being element k.
template <class T>
class CheckedArray {
  public:
    explicit CheckedArray(int32_t size) : items_(static_cast<std::size_t>(size) + 1) {}

    T& operator[](int64_t k) {
        check(k);
        return items_[static_cast<std::size_t>(k)];
    }
    const T& operator[](int64_t k) const {
        check(k);
        return items_[static_cast<std::size_t>(k)];
    }

    int32_t size() const { return static_cast<int32_t>(items_.size() - 1); }
    T* data() { return items_.data(); }
    const T* data() const { return items_.data(); }

    // Sets elements 1..size() to value.
    void fill(const T& value) {
        for (std::size_t k = 1; k < items_.size(); ++k)
            items_[k] = value;
    }

  private:
    void check(int64_t k) const {
        if (k < 1 || k > size())
            throw RangeError();
    }

    std::vector<T> items_;
};

}  // namespace kav
