#include "solver/IndexSort.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kav::detail {
namespace {

constexpr const char* IncorrectSortType =
    "*** FATAL ERROR ... INCORRECT SORT TYPE IN QUICK_SORT ***";

// The index and key arrays seen through positions and item numbers, whatever
// element the variant starts them at.
template <class Key>
struct SortView {
    const Key* keys;
    uint16_t* index;
    int base;

    uint16_t& At(int32_t position) const { return index[position - base]; }
    const Key& KeyAt(int32_t position) const { return keys[At(position) - base]; }
    void Exchange(int32_t i, int32_t j) const {
        if (At(i) != At(j))
            std::swap(At(i), At(j));
    }
};

// The mean of the two end keys, in the precision each key type asks for.
inline int32_t Mean(uint8_t a, uint8_t b) {
    return (int32_t{a} + int32_t{b}) / 2;
}
inline int32_t Mean(uint16_t a, uint16_t b) {
    return (int32_t{a} + int32_t{b}) / 2;
}
// Formed in 64 bits so that keys near the ends of the range cannot overflow;
// the quotient rounds toward zero like the 32-bit one and always fits.
inline int32_t Mean(int32_t a, int32_t b) {
    return static_cast<int32_t>((int64_t{a} + int64_t{b}) / 2);
}
inline double Mean(double a, double b) {
    return static_cast<double>((static_cast<long double>(a) + b) / 2);
}
inline long double Mean(long double a, long double b) {
    return (a + b) / 2;
}

template <class Key>
void QuickSort(const SortView<Key>& view, int32_t first, int32_t last) {
    // The right half is sorted by the loop rather than by a second recursive
    // call; it is the last thing done, so the order of work is the same.
    while (true) {
        const auto pivot = Mean(view.KeyAt(first), view.KeyAt(last));
        int32_t i = first;
        int32_t j = last;
        do {
            while (view.KeyAt(i) < pivot)
                ++i;
            while (pivot < view.KeyAt(j))
                --j;
            if (i <= j) {
                view.Exchange(i, j);
                ++i;
                --j;
            }
        } while (i <= j);
        if (first < j)
            QuickSort(view, first, j);
        if (!(i < last))
            return;
        first = i;
    }
}

// Byte order over the first `width` bytes; a prefix comes before the longer text.
bool TextGreater(const std::string& a, const std::string& b, std::size_t width) {
    const std::size_t lengthA = std::min(a.size(), width);
    const std::size_t lengthB = std::min(b.size(), width);
    const int common = std::memcmp(a.data(), b.data(), std::min(lengthA, lengthB));
    if (common != 0)
        return common > 0;
    return lengthA > lengthB;
}

void ShellSort(const SortView<std::string>& view, int32_t first, int32_t last, std::size_t width) {
    for (int32_t gap = (last - first + 1) / 2; gap > 0; gap /= 2) {
        for (int32_t i = first + gap; i <= last; ++i) {
            for (int32_t j = i - gap; j >= first; j -= gap) {
                if (!TextGreater(view.KeyAt(j), view.KeyAt(j + gap), width))
                    break;
                view.Exchange(j, j + gap);
            }
        }
    }
}

template <class Key>
void SortAs(const void* keys, uint16_t* index, int32_t first, int32_t last, int base) {
    if (last < first)
        return;
    QuickSort(SortView<Key>{static_cast<const Key*>(keys), index, base}, first, last);
}

char UpperCase(char code) {
    return code >= 'a' && code <= 'z' ? char(code - 'a' + 'A') : code;
}

}  // namespace

void IndexSort(uint16_t first, uint16_t last, const void* keys, uint16_t* index, char code,
               const IndexSortVariant& variant) {
    if (variant.emptyRangeReturns && last < first)
        return;
    for (int32_t k = first; k <= last; ++k)
        index[k - variant.base] = static_cast<uint16_t>(k);
    switch (UpperCase(code)) {
        case 'B':
            return SortAs<uint8_t>(keys, index, first, last, variant.base);
        case 'W':
            return SortAs<uint16_t>(keys, index, first, last, variant.base);
        case 'I':
        case 'L':
            return SortAs<int32_t>(keys, index, first, last, variant.base);
        case 'R':
            return SortAs<double>(keys, index, first, last, variant.base);
        case 'E':
            if (!variant.acceptsExtended)
                break;
            return SortAs<long double>(keys, index, first, last, variant.base);
        case 'S':
            if (last < first)
                return;
            return ShellSort(
                SortView<std::string>{static_cast<const std::string*>(keys), index, variant.base},
                first, last, variant.textWidth);
        default:
            break;
    }
    FatalError(variant.fatalKind, IncorrectSortType);
}

}  // namespace kav::detail
