#pragma once

#include <string>

namespace kav {

// Number texts that follow the user's locale. The windows set the separators
// from the platform locale at start; the defaults are ',' and '.'.
void SetLocaleSeparators(char thousands, char decimal);

// value with exactly `decimals` digits after the decimal separator and the
// integer part grouped in thousands: 1234.5 with 3 decimals gives "1,234.500".
std::string FormatGrouped(double value, int decimals);

}  // namespace kav
