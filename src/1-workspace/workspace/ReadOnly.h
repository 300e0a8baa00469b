#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "workspace/Errors.h"

namespace kav {

// Defined only in workspace/Workspace.cpp: the Workspace's operations write its
// members through it, and nothing else can.
struct WorkspaceWrites;

// A fixed-size array of the Workspace numbered 1..size() whose subscript is
// checked: an index outside that range throws RangeError, which the
// event-handler boundary turns into the standard error report. Everyone reads
// it; only the Workspace's operations write it (WorkspaceWrites). Element 0
// exists but is never reachable through operator[]; data() gives unchecked
// reading for the hot loops, with data()[k] being element k, and begin()/end()
// run over elements 1..size().
template <class T>
class CheckedArray {
  public:
    explicit CheckedArray(int32_t size) : items_(static_cast<std::size_t>(size) + 1) {}
    CheckedArray(const CheckedArray&) = default;

    const T& operator[](int64_t k) const {
        check(k);
        return items_[static_cast<std::size_t>(k)];
    }

    int32_t size() const { return static_cast<int32_t>(items_.size() - 1); }
    const T* data() const { return items_.data(); }
    const T* begin() const { return items_.data() + 1; }
    const T* end() const { return items_.data() + items_.size(); }

  private:
    friend struct WorkspaceWrites;
    CheckedArray& operator=(const CheckedArray&) = default;

    // The writing members have names of their own: a private non-const
    // operator[] would be chosen for every read through a non-const Workspace
    // and then refused.
    T& element(int64_t k) {
        check(k);
        return items_[static_cast<std::size_t>(k)];
    }
    // Sets elements 1..size() to value.
    void fill(const T& value) {
        for (std::size_t k = 1; k < items_.size(); ++k)
            items_[k] = value;
    }
    void check(int64_t k) const {
        if (k < 1 || k > size())
            throw RangeError();
    }

    std::vector<T> items_;
};

// A number or flag of the Workspace, read as a const T&; only the Workspace's
// operations write it (WorkspaceWrites).
template <class T>
class ReadOnly {
  public:
    ReadOnly() = default;
    ReadOnly(const ReadOnly&) = default;
    operator const T&() const { return value_; }

  private:
    friend struct WorkspaceWrites;
    ReadOnly& operator=(const ReadOnly&) = default;

    T value_{};
};

// A file name of the Workspace: read as a const std::string& or through the
// string's reading members; only the Workspace's operations write it.
class ReadOnlyText {
  public:
    ReadOnlyText() = default;
    ReadOnlyText(const ReadOnlyText&) = default;
    operator const std::string&() const { return value_; }

    bool empty() const { return value_.empty(); }
    std::size_t size() const { return value_.size(); }
    const char* c_str() const { return value_.c_str(); }

    friend bool operator==(const ReadOnlyText& a, const std::string& b) { return a.value_ == b; }
    friend bool operator==(const std::string& a, const ReadOnlyText& b) { return a == b.value_; }
    friend bool operator!=(const ReadOnlyText& a, const std::string& b) { return a.value_ != b; }
    friend bool operator!=(const std::string& a, const ReadOnlyText& b) { return a != b.value_; }
    friend std::ostream& operator<<(std::ostream& out, const ReadOnlyText& text) {
        return out << text.value_;
    }

  private:
    friend struct WorkspaceWrites;
    ReadOnlyText& operator=(const ReadOnlyText&) = default;

    std::string value_;
};

}  // namespace kav
