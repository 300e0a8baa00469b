#include "results/Quickie.h"

#include "solver/IndexSort.h"

namespace kav {

void Quickie(uint16_t first, uint16_t last, const void* keys, uint16_t* index, char code) {
    static const detail::IndexSortVariant resultsVariant{0, true, 12, MsgKind::Information, true};
    detail::IndexSort(first, last, keys, index, code, resultsVariant);
}

}  // namespace kav
