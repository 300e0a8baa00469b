#pragma once

#include <string>

namespace kav {

// The separators of number texts that follow the user's locale. The program's
// start takes them from the platform locale into the session; the defaults
// are "," and ".". Each separator is one whole character in UTF-8, which may
// take several bytes (a narrow no-break space groups thousands in French), so
// the texts below are UTF-8.
struct NumberSeparators {
    std::string thousands = ",";
    std::string decimal = ".";
};

// value with exactly `decimals` digits after the decimal separator and the
// integer part grouped in thousands: 1234.5 with 3 decimals gives "1,234.500".
std::string FormatGrouped(double value, int decimals,
                          const NumberSeparators& separators = NumberSeparators());

// The plain decimal text of a 128-bit integer, for exact sums that may exceed
// 64 bits (no separators: these texts are read by programs).
std::string WideDecimal(__int128 value);

}  // namespace kav
