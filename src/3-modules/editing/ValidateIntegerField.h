#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "workspace/Prompts.h"

namespace kav {

// Converts the text of an integer field: leading blanks, one optional sign, then
// decimal digits to the end of the text, or a hexadecimal number introduced by
// '$', 'x' or "0x" (x in either case). Returns nullopt for any other text, for a
// sign without digits and for a value outside the signed 32-bit range.
std::optional<int32_t> ConvertIntegerText(const std::string& text);

struct FieldValue {
    int32_t value;     // the value after the field was left
    std::string text;  // what the field shows afterwards
};

// What happens when an integer field is left. An empty text changes nothing.
// Otherwise the text is converted (falling back to the current value), shown
// again in plain decimal form - with a beep and a warning when that form differs
// from what was typed - and taken when it lies in low..high; a value outside the
// range is refused with a warning and the field shows the current value again.
// The beep and the warnings are in the result, for the window to show.
Reported<FieldValue> ValidateIntegerField(const std::string& text, int32_t current, int32_t low,
                                          int32_t high);

// Ranges of the editing fields.
constexpr int32_t CostLow = -100000000;
constexpr int32_t CostHigh = 100000000;
constexpr int32_t BoundLow = 0;
constexpr int32_t BoundHigh = 2147483647;

}  // namespace kav
