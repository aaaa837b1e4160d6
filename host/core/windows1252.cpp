#include "windows1252.h"

#include <array>
#include <cstdint>

namespace panel {
namespace {

// What the code page puts at 0x80 to 0x9F; 0 where it puts nothing.
constexpr std::array<uint16_t, 32> high_controls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char windows1252_byte(uint32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
    for (size_t i = 0; i < high_controls.size(); ++i) {
        if (high_controls[i] == code) return static_cast<char>(0x80 + i);
    }
    return windows1252_stand_in;
}

}  // namespace

std::string utf8_to_windows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        size_t length = 0;
        uint32_t code = 0, lowest = 0;
        if (lead < 0x80) {
            length = 1;
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1Fu;
            lowest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0Fu;
            lowest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07u;
            lowest = 0x10000;
        }
        size_t taken = 1;
        while (taken < length && i + taken < utf8.size() &&
               (static_cast<unsigned char>(utf8[i + taken]) & 0xC0) == 0x80) {
            code = code << 6 | (static_cast<unsigned char>(utf8[i + taken]) & 0x3Fu);
            ++taken;
        }
        // Cut short, overlong, a surrogate or beyond Unicode: the bytes read so far are one stand-in.
        const bool whole =
            length > 0 && taken == length && code >= lowest && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
        out += whole ? windows1252_byte(code) : windows1252_stand_in;
        i += taken;
    }
    return out;
}

std::string windows1252_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        uint32_t code = byte;
        if (byte >= 0x80 && byte < 0xA0) code = high_controls[byte - 0x80] != 0 ? high_controls[byte - 0x80] : 0xFFFD;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

}  // namespace panel
