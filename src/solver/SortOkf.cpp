#include "solver/SortOkf.h"

namespace kav {

void SortOkf(uint16_t first, uint16_t last, const void*, uint16_t* index, char) {
    for (uint32_t k = first; k <= last; ++k) index[k - 1] = static_cast<uint16_t>(k);
}

}  // namespace kav
