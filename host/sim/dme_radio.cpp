#include "dme_radio.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "checked_values.h"

namespace panel::sim {
namespace {

constexpr int channel_step = units::dme_channel_step;

}  // namespace

int frequency_hundredths(double mhz, std::string_view what) {
    const double hundredths = mhz * 100.0;
    const double channel = std::round(hundredths / channel_step) * channel_step;
    if (!(channel >= units::lowest_dme_frequency && channel <= units::highest_dme_frequency) ||
        std::abs(hundredths - channel) > 1e-6) {
        throw std::invalid_argument(std::string(what) + ": " + number_text(mhz) +
                                    " MHz is not one of 108.00 to 117.95 in steps of 0.05");
    }
    return static_cast<int>(channel);
}

DmeRadio::DmeRadio(const DmeStation& station, double tuned_mhz)
    : station_(station),
      station_frequency_(frequency_hundredths(station.frequency_mhz, "flight setup: DME station frequency")),
      selection_(frequency_hundredths(tuned_mhz, "flight setup: tuned DME frequency")) {
    checked(station.position, "flight setup: DME station");
    checked(station.elevation_ft, lowest_altitude_ft, highest_altitude_ft, "flight setup: DME elevation (ft)");
    checked(station.range_nm, 0.0, 1000.0, "flight setup: DME range (nm)");
}

void DmeRadio::measure(GeoPoint position, double altitude_ft, double seconds) {
    const double slant = slant_range_nm(station_.position, station_.elevation_ft, position, altitude_ft);
    if (seconds > 0.0) speed_kt_ = std::abs(slant - slant_nm_) / seconds * 3600.0;
    slant_nm_ = slant;
}

}  // namespace panel::sim
