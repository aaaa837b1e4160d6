// The spherical-Earth geometry against cases worked by hand. One degree of arc on the mean
// sphere is R x pi / 180 = 6371008.8 x 0.017453292520 = 111195.080 m.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "geo.h"

namespace {

using panel::sim::GeoPoint;
namespace sim = panel::sim;

constexpr double one_degree_m = 111195.0802;

TEST(GeoTest, DistanceAndBearingAlongTheEquatorAndAMeridian) {
    const GeoPoint origin{0.0, 0.0};
    // Along the equator and along a meridian the arc is the difference in degrees.
    EXPECT_NEAR(sim::distance_m(origin, {0.0, 1.0}), one_degree_m, 1e-3);
    EXPECT_NEAR(sim::distance_m(origin, {1.0, 0.0}), one_degree_m, 1e-3);
    EXPECT_NEAR(sim::distance_m({45.0, 7.0}, {47.5, 7.0}), 2.5 * one_degree_m, 1e-3);
    EXPECT_NEAR(sim::initial_bearing_deg(origin, {0.0, 1.0}), 90.0, 1e-9);
    EXPECT_NEAR(sim::initial_bearing_deg({0.0, 1.0}, origin), 270.0, 1e-9);
    EXPECT_NEAR(sim::initial_bearing_deg(origin, {1.0, 0.0}), 0.0, 1e-9);
    EXPECT_NEAR(sim::initial_bearing_deg({1.0, 0.0}, origin), 180.0, 1e-9);
    EXPECT_EQ(sim::initial_bearing_deg(origin, origin), 0.0);
}

TEST(GeoTest, DistanceAndBearingOfAnObliquePair) {
    // (0, 0) to (1 N, 1 E). Haversine: sin^2(c/2) = sin^2(0.5 deg) + cos 0 cos 1 deg sin^2(0.5 deg)
    // = sin^2(0.5 deg)(1 + cos 1 deg), so c = 2 asin(0.0087265 x 1.4141598) = 1.4141777 deg
    // = 157249.60 m. Bearing: tan b = sin 1 deg cos 1 deg / (cos 0 sin 1 deg) = cos 1 deg,
    // so b = atan(0.9998477) = 44.995636 deg.
    EXPECT_NEAR(sim::distance_m({0.0, 0.0}, {1.0, 1.0}), 157249.60, 0.01);
    EXPECT_NEAR(sim::initial_bearing_deg({0.0, 0.0}, {1.0, 1.0}), 44.995636, 1e-6);
}

TEST(GeoTest, DestinationIsTheInverseOfDistanceAndBearing) {
    // One degree of arc east along the equator lands on 0 N, 1 E.
    const GeoPoint east = sim::destination({0.0, 0.0}, 90.0, one_degree_m);
    EXPECT_NEAR(east.latitude_deg, 0.0, 1e-9);
    EXPECT_NEAR(east.longitude_deg, 1.0, 1e-9);

    const GeoPoint start{50.0, 10.0};
    const GeoPoint end = sim::destination(start, 37.0, 123000.0);
    EXPECT_NEAR(sim::distance_m(start, end), 123000.0, 1e-6);
    EXPECT_NEAR(sim::initial_bearing_deg(start, end), 37.0, 1e-9);

    // Across the date line the longitude comes back within -180 to 180.
    const GeoPoint across = sim::destination({0.0, 179.5}, 90.0, one_degree_m);
    EXPECT_NEAR(across.longitude_deg, -179.5, 1e-9);
}

TEST(GeoTest, CrossTrackIsPositiveLeftOfTheLegAndAlongTrackIsSigned) {
    // An eastbound leg on the equator. A point 1 deg north is left of it: the leg's great circle
    // is the equator, so the cross-track is the point's latitude, 1 deg of arc.
    const GeoPoint from{0.0, 0.0};
    const GeoPoint to{0.0, 10.0};
    EXPECT_NEAR(sim::cross_track_m(from, to, {1.0, 5.0}), one_degree_m, 1e-3);
    EXPECT_NEAR(sim::cross_track_m(from, to, {-1.0, 5.0}), -one_degree_m, 1e-3);
    // The same point seen from a westbound leg lies right of it.
    EXPECT_NEAR(sim::cross_track_m(to, from, {1.0, 5.0}), -one_degree_m, 1e-3);
    // Abeam the point: 5 deg of arc along the leg; 2 deg behind its start for a point at 2 W.
    EXPECT_NEAR(sim::along_track_m(from, to, {1.0, 5.0}), 5.0 * one_degree_m, 1e-3);
    EXPECT_NEAR(sim::along_track_m(from, to, {0.0, -2.0}), -2.0 * one_degree_m, 1e-3);
    EXPECT_NEAR(sim::along_track_m(from, to, {0.0, 12.0}), 12.0 * one_degree_m, 1e-3);
    // A leg whose ends coincide has no side and no length.
    EXPECT_EQ(sim::cross_track_m(to, to, {1.0, 5.0}), 0.0);
    EXPECT_EQ(sim::along_track_m(to, to, {1.0, 5.0}), 0.0);
}

TEST(GeoTest, DmeSlantRangeOverTheStationAndAbeam) {
    // Straight over the station, 6076.1155 ft (1852 m / 0.3048) above it: one nautical mile.
    const GeoPoint station{10.0, 20.0};
    EXPECT_NEAR(sim::slant_range_nm(station, 1000.0, station, 1000.0 + 1852.0 / 0.3048), 1.0, 1e-9);
    // 3 nm away on the ground (5556 m = 0.0499662 deg of longitude on the equator) and 4 nm
    // (24304.462 ft) above: the 3-4-5 triangle gives 5 nm.
    const double three_nm_deg = 3.0 * 1852.0 / sim::earth_radius_m * 180.0 / std::numbers::pi;
    EXPECT_NEAR(sim::slant_range_nm({0.0, 0.0}, 0.0, {0.0, three_nm_deg}, 4.0 * 1852.0 / 0.3048), 5.0, 1e-9);
    // Level with the station the slant range is the ground distance.
    EXPECT_NEAR(sim::slant_range_nm({0.0, 0.0}, 500.0, {0.0, three_nm_deg}, 500.0), 3.0, 1e-9);
}

}  // namespace
