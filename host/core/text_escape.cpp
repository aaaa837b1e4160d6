#include "text_escape.h"

#include <charconv>
#include <cmath>

namespace panel {

std::string quote_text(std::string_view text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string quoted = "\"";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
            quoted += c;
        } else {
            quoted += "\\x";
            quoted += digits[byte >> 4];
            quoted += digits[byte & 0xF];
        }
    }
    return quoted + "\"";
}

std::string format_double(double value) {
    // The C runtimes disagree on how they spell NaN and on its sign; the bits decide here.
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    char text[64];
    // libstdc++'s own conversion, the same code in both builds: "%.17g" without the C runtime.
    auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 17).ptr;
    return std::string(text, end);
}

std::string hex_text(uint64_t value) {
    char text[16];
    auto end = std::to_chars(text, text + sizeof text, value, 16).ptr;
    std::string digits(text, end);
    for (char& c : digits) c = static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c);
    return "0x" + digits;
}

}  // namespace panel
