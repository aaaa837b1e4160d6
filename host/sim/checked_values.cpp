#include "checked_values.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace panel::sim {

double normalized_degrees(double degrees) {
    const double angle = std::fmod(degrees, 360.0);
    return angle < 0.0 ? angle + 360.0 : angle;
}

std::string number_text(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

double checked(double value, double low, double high, std::string_view what) {
    if (value >= low && value <= high) return value;
    throw std::invalid_argument(std::string(what) + ": " + number_text(value) + " is not within " + number_text(low) +
                                " to " + number_text(high));
}

GeoPoint checked(GeoPoint point, std::string_view what) {
    checked(point.latitude_deg, -90.0, 90.0, std::string(what) + " latitude");
    checked(point.longitude_deg, -180.0, 180.0, std::string(what) + " longitude");
    return point;
}

int whole(double value, int low, int high, std::string_view what) {
    return static_cast<int>(checked(value, low, high, what));
}

}  // namespace panel::sim
