// A notch clockwise clicks the right half of the ring an area belongs to, one anticlockwise the
// left half, on both faces; push buttons do not turn.
#include "knob_ring.h"

#include <gtest/gtest.h>

#include "gauge_session.h"

namespace {

using panel::controls::ring_half;

// Areas by their number in the mouse list (1 for the first clickable area), as the face tables
// number them.
std::optional<size_t> target(const panel::GaugeSession& session, size_t area, bool up) {
    auto found = ring_half(session.records().mouse_areas, area - 1, up);
    return found ? std::optional<size_t>(*found + 1) : std::nullopt;
}

TEST(KnobRing, TurnsEachRingOfTheGpsKnobByItsOwnHalves) {
    const panel::GaugeSession gps(std::string(PANEL_MODULE_DIR) + "/GPS_Corvane_PX40.so");
    // 6 outer right, 7 outer left, 9 inner right, 10 inner left; 1 and 2 the power knob.
    EXPECT_EQ(target(gps, 7, true), 6u);
    EXPECT_EQ(target(gps, 6, false), 7u);
    EXPECT_EQ(target(gps, 10, true), 9u);  // not the outer ring's right half beside it
    EXPECT_EQ(target(gps, 9, false), 10u);
    EXPECT_EQ(target(gps, 9, true), 9u);
    EXPECT_EQ(target(gps, 1, true), 2u);
    EXPECT_EQ(target(gps, 5, true), std::nullopt);  // ENT is pushed, not turned
}

TEST(KnobRing, TurnsEachRingOfTheDmeKnob) {
    const panel::GaugeSession dme(std::string(PANEL_MODULE_DIR) + "/VER2_Corvane_VX_RD22.so");
    // 7 inner right, 8 outer right, 9 inner left, 10 outer left; 6 the knob's centre.
    EXPECT_EQ(target(dme, 9, true), 7u);
    EXPECT_EQ(target(dme, 7, false), 9u);
    EXPECT_EQ(target(dme, 10, true), 8u);
    EXPECT_EQ(target(dme, 8, false), 10u);
    EXPECT_EQ(target(dme, 6, true), std::nullopt);
    EXPECT_EQ(target(dme, 2, true), 1u);  // the power switch from OFF to ON
}

}  // namespace
