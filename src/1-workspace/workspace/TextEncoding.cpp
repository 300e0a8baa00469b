#include "workspace/TextEncoding.h"

#include <cstdio>

namespace kav {
namespace {

std::string Escaped(unsigned char byte) {
    char text[5];
    std::snprintf(text, sizeof text, "\\x%02X", byte);
    return text;
}

// Control characters (C0, DEL, C1) and the invisible byte-order mark.
bool IsUnseen(uint32_t code) {
    return code < 0x20 || (code >= 0x7F && code < 0xA0) || code == 0xFEFF;
}

}  // namespace

std::string QuotedInput(const std::string& bytes, std::size_t most) {
    std::string quoted;
    std::size_t shown = 0;
    DecodeUtf8(
        bytes,
        [&](uint32_t code, const std::string& character) {
            if (shown++ >= most)
                return;
            if (!IsUnseen(code)) {
                quoted += character;
                return;
            }
            for (const char byte : character)
                quoted += Escaped(static_cast<unsigned char>(byte));
        },
        [&](unsigned char byte) {
            if (shown++ < most)
                quoted += Escaped(byte);
        });
    return shown > most ? quoted + "..." : quoted;
}

}  // namespace kav
