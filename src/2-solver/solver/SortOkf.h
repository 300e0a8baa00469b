#pragma once

#include <cstdint>

namespace kav {

// The solver's variant of the index sort: arrays begin with the element of
// position / item 1 (index[0] belongs to position 1, keys[0] to item 1).
// Accepted codes B W I L R S (any case); anything else is fatal (warning icon).
// keys points at the key array of the element type the code names:
// uint8_t (B), uint16_t (W), int32_t (I, L), double (R), std::string (S,
// compared over its first 10 bytes).
void SortOkf(uint16_t first, uint16_t last, const void* keys, uint16_t* index, char code);

// The solver's sort over 32-bit integer keys (code I), which no caller can get
// wrong: the fatal path stays reachable only through SortOkf's own code.
inline void SortOkfIntegers(uint16_t first, uint16_t last, const int32_t* keys, uint16_t* index) {
    SortOkf(first, last, keys, index, 'I');
}

}  // namespace kav
