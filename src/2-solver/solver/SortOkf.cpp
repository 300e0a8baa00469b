#include "solver/SortOkf.h"

#include "solver/IndexSort.h"
#include "workspace/Errors.h"

namespace kav {

void SortOkf(uint16_t first, uint16_t last, const void* keys, uint16_t* index, char code) {
    static const detail::IndexSortVariant solverVariant{1, false, 10, MsgKind::Warning, false};
    if (first < 1)
        throw RangeError();
    detail::IndexSort(first, last, keys, index, code, solverVariant);
}

}  // namespace kav
