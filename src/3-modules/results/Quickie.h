#pragma once

#include <cstdint>
#include <string>

namespace kav {

// The results window's variant of the index sort: index[k] and keys[k] belong
// to position / item k (element 0 exists and is unused). An empty range
// (last < first) returns at once. Accepted codes B E I L R S W (any case);
// anything else is fatal (information icon). keys points at the key array of
// the element type the code names: uint8_t (B), uint16_t (W), int32_t (I, L),
// double (R), long double (E), std::string (S, compared over its first 12 bytes).
void Quickie(uint16_t first, uint16_t last, const void* keys, uint16_t* index, char code);

// The results window's sort over names (code S), which no caller can get
// wrong: the fatal path stays reachable only through Quickie's own code.
inline void QuickieNames(uint16_t first, uint16_t last, const std::string* keys, uint16_t* index) {
    Quickie(first, last, keys, index, 'S');
}

}  // namespace kav
