// The gauges' texts are Windows-1252 bytes; Pango draws UTF-8 and FlightGear sends it. Both
// directions, from one table of the code page.
#pragma once

#include <string>
#include <string_view>

namespace panel {

inline constexpr char windows1252_stand_in = '?';

// Never fails: each malformed sequence, and each character without a Windows-1252 byte, is one
// stand-in.
std::string utf8_to_windows1252(std::string_view utf8);
// A byte the code page leaves unassigned becomes U+FFFD.
std::string windows1252_to_utf8(std::string_view bytes);

}  // namespace panel
