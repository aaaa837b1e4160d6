// Navigation geometry on a spherical Earth: distances, bearings, the point reached along a
// bearing, where a point lies against a leg, and the slant range a DME measures. Angles are
// degrees, latitudes north and longitudes east positive; distances are metres unless a name
// says nautical miles.
#pragma once

#include "simulator_units.h"

namespace panel::sim {

// The mean Earth radius: one sphere for every distance and every step of the flight.
inline constexpr double earth_radius_m = 6371008.8;
using units::metres_per_foot;
using units::metres_per_nm;

struct GeoPoint {
    double latitude_deg = 0.0;
    double longitude_deg = 0.0;
};

// Great-circle distance.
double distance_m(GeoPoint from, GeoPoint to);

// True bearing at `from` of the great circle to `to`, 0 up to 360 (0 for the same point).
double initial_bearing_deg(GeoPoint from, GeoPoint to);

// The point reached from `from` along the great circle leaving it at `bearing_deg`; its
// longitude lies within -180 up to 180.
GeoPoint destination(GeoPoint from, double bearing_deg, double distance_m);

// Distance of `point` from the great circle through the leg, positive when the point lies left
// of it (the pilot must fly right). 0 for a leg whose ends coincide.
double cross_track_m(GeoPoint leg_from, GeoPoint leg_to, GeoPoint point);

// How far along the leg, from its start, the point abeam `point` lies: negative behind the
// start, past the leg's length beyond its end. 0 for a leg whose ends coincide.
double along_track_m(GeoPoint leg_from, GeoPoint leg_to, GeoPoint point);

// What a DME measures: the straight line through the ground distance and the height
// difference, in nautical miles.
double slant_range_nm(GeoPoint station, double station_elevation_ft, GeoPoint aircraft, double aircraft_altitude_ft);

}  // namespace panel::sim
