#include "geo.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace panel::sim {
namespace {

constexpr double radians_per_degree = std::numbers::pi / 180.0;

double radians(double degrees) {
    return degrees * radians_per_degree;
}
double degrees(double radians) {
    return radians / radians_per_degree;
}

// Points as unit vectors from the Earth's centre: the leg formulas stay well conditioned at
// every distance, where the spherical-trigonometry ones lose digits on short legs.
struct Vector {
    double x, y, z;
};

Vector unit_vector(GeoPoint point) {
    const double latitude = radians(point.latitude_deg);
    const double longitude = radians(point.longitude_deg);
    return {std::cos(latitude) * std::cos(longitude), std::cos(latitude) * std::sin(longitude), std::sin(latitude)};
}

double dot(Vector a, Vector b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector cross(Vector a, Vector b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double length(Vector a) {
    return std::sqrt(dot(a, a));
}

// Central angle between two unit vectors, in radians.
double angle_between(Vector a, Vector b) {
    return std::atan2(length(cross(a, b)), dot(a, b));
}

// Normal of the leg's great circle, pointing to the left of the direction of flight; none for a
// leg whose ends coincide (or lie opposite, where the great circle is not defined).
std::optional<Vector> leg_normal(GeoPoint from, GeoPoint to) {
    const Vector n = cross(unit_vector(from), unit_vector(to));
    const double size = length(n);
    if (size < 1e-15) return std::nullopt;
    return Vector{n.x / size, n.y / size, n.z / size};
}

}  // namespace

double distance_m(GeoPoint from, GeoPoint to) {
    return earth_radius_m * angle_between(unit_vector(from), unit_vector(to));
}

double initial_bearing_deg(GeoPoint from, GeoPoint to) {
    const double latitude_1 = radians(from.latitude_deg);
    const double latitude_2 = radians(to.latitude_deg);
    const double delta_longitude = radians(to.longitude_deg - from.longitude_deg);
    const double y = std::sin(delta_longitude) * std::cos(latitude_2);
    const double x = std::cos(latitude_1) * std::sin(latitude_2) -
                     std::sin(latitude_1) * std::cos(latitude_2) * std::cos(delta_longitude);
    const double bearing = std::fmod(degrees(std::atan2(y, x)) + 360.0, 360.0);
    return bearing == 360.0 ? 0.0 : bearing;  // a tiny negative angle rounds up to 360
}

GeoPoint destination(GeoPoint from, double bearing_deg, double distance_m) {
    const double angle = distance_m / earth_radius_m;
    const double bearing = radians(bearing_deg);
    const double latitude_1 = radians(from.latitude_deg);
    const double sin_latitude_2 = std::clamp(
        std::sin(latitude_1) * std::cos(angle) + std::cos(latitude_1) * std::sin(angle) * std::cos(bearing), -1.0, 1.0);
    const double latitude_2 = std::asin(sin_latitude_2);
    const double delta_longitude = std::atan2(std::sin(bearing) * std::sin(angle) * std::cos(latitude_1),
                                              std::cos(angle) - std::sin(latitude_1) * sin_latitude_2);
    double longitude = std::fmod(from.longitude_deg + degrees(delta_longitude) + 540.0, 360.0) - 180.0;
    if (longitude < -180.0) longitude += 360.0;
    return {degrees(latitude_2), longitude};
}

double cross_track_m(GeoPoint leg_from, GeoPoint leg_to, GeoPoint point) {
    const std::optional<Vector> normal = leg_normal(leg_from, leg_to);
    if (!normal) return 0.0;
    return earth_radius_m * std::asin(std::clamp(dot(unit_vector(point), *normal), -1.0, 1.0));
}

double along_track_m(GeoPoint leg_from, GeoPoint leg_to, GeoPoint point) {
    const std::optional<Vector> found = leg_normal(leg_from, leg_to);
    if (!found) return 0.0;
    const Vector normal = *found;
    // The point dropped onto the leg's great circle, then its signed angle from the start.
    const Vector p = unit_vector(point);
    const double off = dot(p, normal);
    const Vector on_circle = {p.x - off * normal.x, p.y - off * normal.y, p.z - off * normal.z};
    const Vector start = unit_vector(leg_from);
    return earth_radius_m * std::atan2(dot(cross(start, on_circle), normal), dot(start, on_circle));
}

double slant_range_nm(GeoPoint station, double station_elevation_ft, GeoPoint aircraft, double aircraft_altitude_ft) {
    const double ground = distance_m(station, aircraft);
    const double height = (aircraft_altitude_ft - station_elevation_ft) * metres_per_foot;
    return std::hypot(ground, height) / metres_per_nm;
}

}  // namespace panel::sim
