// The gauges draw Windows-1252; FlightGear's texts are UTF-8. What that code page lacks, and
// bytes that are no UTF-8, become a stand-in.
#pragma once

#include <string>
#include <string_view>

namespace panel::live {

inline constexpr char windows1252_stand_in = '?';

// Never fails: each malformed sequence, and each character without a Windows-1252 byte, is one
// stand-in.
std::string utf8_to_windows1252(std::string_view utf8);

}  // namespace panel::live
