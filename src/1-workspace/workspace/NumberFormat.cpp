#include "workspace/NumberFormat.h"

#include <cmath>
#include <cstdio>

namespace kav {
namespace {
std::string thousandsSeparator = ",";
std::string decimalSeparator = ".";
}  // namespace

void SetLocaleSeparators(const std::string& thousands, const std::string& decimal) {
    thousandsSeparator = thousands;
    decimalSeparator = decimal;
}

const std::string& DecimalSeparator() {
    return decimalSeparator;
}

std::string FormatGrouped(double value, int decimals) {
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
            grouped += thousandsSeparator;
        grouped += whole[k];
    }
    return sign + grouped + (fraction.empty() ? "" : decimalSeparator + fraction);
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
