#include "workspace/NumberFormat.h"

#include <cmath>
#include <cstdio>

namespace kav {
std::string FormatGrouped(double value, int decimals, const NumberSeparators& separators) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string plain(buffer);
    std::string sign;
    if (!plain.empty() && plain[0] == '-') {
        sign = "-";
        plain.erase(0, 1);
    }
    std::string::size_type point = plain.find('.');
    std::string whole = plain.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : plain.substr(point + 1);
    std::string grouped;
    for (std::size_t k = 0; k < whole.size(); ++k) {
        if (k > 0 && (whole.size() - k) % 3 == 0)
            grouped += separators.thousands;
        grouped += whole[k];
    }
    return sign + grouped + (fraction.empty() ? "" : separators.decimal + fraction);
}

std::string WideDecimal(__int128 value) {
    const bool negative = value < 0;
    std::string digits;
    do {
        const int digit = static_cast<int>(value % 10);
        digits.insert(digits.begin(), static_cast<char>('0' + (negative ? -digit : digit)));
        value /= 10;
    } while (value != 0);
    return negative ? "-" + digits : digits;
}

}  // namespace kav
