#pragma once

#include <cstdint>
#include <string>

namespace kav {

// The decimal text of value (with '-' when negative), blanks put in front
// until it is at least width characters long; never cut.
std::string PadNumber(int64_t value, int width);

// The same padding for a text.
std::string PadText(const std::string& text, int width);

}  // namespace kav
