#pragma once

#include <cstdint>
#include <string>

namespace kav {

// Node names are single-byte (Latin-1) texts, while the texts the prompts show
// are UTF-8: a name that enters a message goes through this first.
inline std::string Latin1ToUtf8(const std::string& latin1) {
    std::string utf8;
    utf8.reserve(latin1.size());
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

// Walks a UTF-8 text: `character` gets each character's code and bytes,
// `bad` each byte that does not start a well-formed character (overlong forms
// and surrogates are not well-formed).
template <class Character, class Bad>
void DecodeUtf8(const std::string& utf8, Character&& character, Bad&& bad) {
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
        uint32_t code = lead & (length == 1   ? 0x7F
                                : length == 2 ? 0x1F
                                : length == 3 ? 0x0F
                                              : 0x07);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = at + k < utf8.size() ? static_cast<unsigned char>(utf8[at + k]) : 0;
            if ((next & 0xC0) != 0x80) {
                length = 0;
                break;
            }
            code = (code << 6) | (next & 0x3F);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            length = 0;
        if (length == 0) {
            bad(lead);
            ++at;
            continue;
        }
        character(code, utf8.substr(at, length));
        at += length;
    }
}

// Bytes of the input made fit to quote in a message: well-formed UTF-8
// characters as they are, a control character or a byte that is not UTF-8 as
// \xNN; past `most` characters the rest is cut off and "..." follows.
std::string QuotedInput(const std::string& bytes, std::size_t most = 60);

}  // namespace kav
