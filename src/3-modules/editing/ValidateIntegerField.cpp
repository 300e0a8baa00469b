#include "editing/ValidateIntegerField.h"

namespace kav {
namespace {

int DigitValue(char c, int base) {
    int digit = -1;
    if (c >= '0' && c <= '9') {
        digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        digit = c - 'A' + 10;
    }
    return digit < base ? digit : -1;
}

// Strips a hexadecimal prefix at pos; returns the base of the digits that follow.
int TakeBase(const std::string& text, std::size_t& pos) {
    if (pos < text.size() && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X')) {
        ++pos;
        return 16;
    }
    if (pos + 1 < text.size() && text[pos] == '0' &&
        (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        pos += 2;
        return 16;
    }
    return 10;
}

}  // namespace

std::optional<int32_t> ConvertIntegerText(const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const int base = TakeBase(text, pos);
    if (pos == text.size())
        return std::nullopt;
    // The magnitude may reach 2^31 for the most negative value; anything beyond
    // stops the scan before the 64-bit accumulator could overflow.
    const int64_t limit = negative ? int64_t{2147483648} : int64_t{2147483647};
    int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos], base);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

Reported<FieldValue> ValidateIntegerField(const std::string& text, int32_t current, int32_t low,
                                          int32_t high) {
    Reported<FieldValue> checked{{current, text}, {}};
    if (text.empty())
        return checked;
    const int32_t converted = ConvertIntegerText(text).value_or(current);
    FieldValue& result = checked.outcome;
    result.text = std::to_string(converted);
    if (result.text != text) {
        checked.report.Beep(BeepQuestion);
        checked.report.Box(MsgKind::Warning,
                           "Specified value did not convert correctly... Warning\r"
                           "Default value used and shown");
    }
    if (converted >= low && converted <= high) {
        result.value = converted;
    } else {
        checked.report.Box(MsgKind::Warning, "Invalid Parameter Value.  Must have " +
                                                 std::to_string(low) +
                                                 " <= X <= " + std::to_string(high));
        result.text = std::to_string(current);
    }
    return checked;
}

}  // namespace kav
