// How traces spell texts and numbers, identically in every build: texts quoted with every byte
// outside printable ASCII as \xHH; doubles as printf's "%.17g" would, so that two values that
// differ in the last bit never print alike.
#pragma once

#include <string>
#include <string_view>

namespace panel {

std::string quote_text(std::string_view text);
std::string format_double(double value);

}  // namespace panel
