#pragma once

#include <cstdint>
#include <string>

#include "workspace/Prompts.h"

namespace kav::detail {

// What tells the two variants of the index sort apart.
struct IndexSortVariant {
    int base;                // array element that belongs to position / item 1
    bool acceptsExtended;    // code E
    std::size_t textWidth;   // bytes of an S key that take part in the order
    MsgKind fatalKind;       // icon of the fatal message
    bool emptyRangeReturns;  // an empty range returns before the code is looked at
};

// The index sort behind both variants: fills index positions first..last with
// their own numbers, then orders them so that the keys read through the index
// ascend. Integer, real and extended keys use a quick sort whose pivot is the
// mean of the two end keys (equal keys stop both scans and are exchanged, so
// the order among them is the one the exchanges leave); text keys use a Shell
// sort with halved gaps that exchanges only on strictly greater.
void IndexSort(uint16_t first, uint16_t last, const void* keys, uint16_t* index, char code,
               const IndexSortVariant& variant);

}  // namespace kav::detail
