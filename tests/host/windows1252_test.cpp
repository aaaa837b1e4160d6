// The gauges' code page both ways: to UTF-8 for drawing, from FlightGear's UTF-8 for the gauges.
#include "windows1252.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using panel::utf8_to_windows1252;
using panel::windows1252_to_utf8;

TEST(Windows1252, AsciiStaysAndTheUpperHalfBecomesItsCodePoints) {
    EXPECT_EQ(windows1252_to_utf8("DTK 274"), "DTK 274");
    EXPECT_EQ(windows1252_to_utf8("274\xB0"), "274\u00B0");
    EXPECT_EQ(windows1252_to_utf8("\xA0\xE9\xFF"), "\u00A0\u00E9\u00FF");
}

TEST(Windows1252, TheControlBlockMapsAsTheCodePageDoes) {
    EXPECT_EQ(windows1252_to_utf8("\x80"), "\u20AC");
    EXPECT_EQ(windows1252_to_utf8("\x85\x8A\x91\x92\x99\x9F"), "\u2026\u0160\u2018\u2019\u2122\u0178");
    for (const char* unassigned : {"\x81", "\x8D", "\x8F", "\x90", "\x9D"})
        EXPECT_EQ(windows1252_to_utf8(unassigned), "\uFFFD") << int(static_cast<unsigned char>(*unassigned));
}

// Every assigned byte comes back as itself; an unassigned one as the stand-in.
TEST(Windows1252, EveryByteSurvivesTheRoundTrip) {
    for (int byte = 1; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const bool unassigned = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        EXPECT_EQ(utf8_to_windows1252(windows1252_to_utf8(one)), unassigned ? "?" : one) << byte;
    }
}

}  // namespace
