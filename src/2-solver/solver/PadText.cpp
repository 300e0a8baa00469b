#include "solver/PadText.h"

namespace kav {

std::string PadNumber(int64_t value, int width) {
    return PadText(std::to_string(value), width);
}

std::string PadText(const std::string& text, int width) {
    if (width <= 0 || text.size() >= static_cast<std::size_t>(width))
        return text;
    return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

}  // namespace kav
