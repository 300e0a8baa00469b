#include "results/Quickie.h"

namespace kav {

void Quickie(uint16_t first, uint16_t last, const void*, uint16_t* index, char) {
    for (uint32_t k = first; k <= last; ++k) index[k] = static_cast<uint16_t>(k);
}

}  // namespace kav
