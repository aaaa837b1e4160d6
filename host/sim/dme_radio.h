// The DME radio and the one station it can receive, and the frequencies it is tuned to.
#pragma once

#include <string_view>

#include "dme_selection.h"
#include "flight_setup.h"
#include "geo.h"
#include "simulator_units.h"

namespace panel::sim {

// DME frequencies are kept in whole hundredths of a megahertz (11345 for 113.45), so that
// stepping them never drifts. Throws std::invalid_argument, naming `what`, for a frequency off
// the band or between channels.
int frequency_hundredths(double mhz, std::string_view what = "DME frequency");
using units::bcd_frequency;

// The DME radio and the one station it can receive.
class DmeRadio {
public:
    DmeRadio(const DmeStation& station, double tuned_mhz);

    // The frequency-setting event: the first starts a selection at the tuned frequency, the
    // next ends it and tunes the radio to the selection.
    void select() { selection_.select(); }
    // Selection steps: whole megahertz within 108 to 117, and 0.05 MHz within the megahertz,
    // each wrapping round.
    void step_megahertz(int steps) { selection_.step_megahertz(steps); }
    void step_fraction(int steps) { selection_.step_fraction(steps); }

    // The slant range from an aircraft at `position` and its rate of change over `seconds`
    // (the rate stays as it was when `seconds` is 0).
    void measure(GeoPoint position, double altitude_ft, double seconds);

    int tuned_hundredths() const { return selection_.tuned(); }
    int selection_hundredths() const { return selection_.selection(); }
    bool selecting() const { return selection_.selecting(); }
    bool receiving() const { return selection_.tuned() == station_frequency_ && slant_nm_ <= station_.range_nm; }
    double slant_nm() const { return slant_nm_; }
    double speed_kt() const { return speed_kt_; }
    const DmeStation& station() const { return station_; }

private:
    DmeStation station_;
    int station_frequency_;
    DmeSelection selection_;
    double slant_nm_ = 0.0;
    double speed_kt_ = 0.0;
};

}  // namespace panel::sim
