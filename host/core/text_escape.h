// How traces spell texts and numbers, identically in every build: texts quoted with every byte
// outside printable ASCII as \xHH; doubles as printf's "%.17g" would, so that two values that
// differ in the last bit never print alike. And how messages write ids and addresses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace panel {

std::string quote_text(std::string_view text);
std::string format_double(double value);
// "0x1A": upper-case digits, no padding.
std::string hex_text(uint64_t value);

}  // namespace panel
