// The controls of a panel's gauges, by name, for everything that works them: scripts, the mouse
// wheel, a browser's touch, a cockpit's knobs and buttons. Every clickable area is a control
// pressed by a click at its middle ("gps ent", "gps#2 outer_right", or "mygauge 3" for a gauge
// without names); each pair of knob halves is besides a ring turned by notches ("gps outer",
// "dme power"), named by what the two halves' names share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gauge_instance.h"
#include "gauge_names.h"

namespace panel::controls {

// Where the controls of one placed gauge come from.
struct GaugeControls {
    std::string own_name;  // the gauge's own name (its header's)
    std::vector<MouseAreaRecord> areas;
};

// A click at a point of a gauge's own pixels.
using Clicker = std::function<void(size_t gauge, int32_t x, int32_t y)>;

struct Control {
    enum class Kind { push, ring };
    Kind kind = Kind::push;
    std::string name;  // the gauge's name, a space, the control's
    size_t gauge = 0;
    size_t area = 0;                // push: its area; ring: its clockwise (right-hand) half
    size_t anticlockwise_area = 0;  // ring: its other half; push: the same area
    // What it covers, in the gauge's pixels: a ring both halves.
    int32_t x = 0, y = 0, width = 0, height = 0;
};

class PanelControls {
public:
    explicit PanelControls(std::vector<GaugeControls> gauges);

    // Every control: each gauge's areas in their order, then its rings.
    const std::vector<Control>& list() const { return controls_; }
    const GaugeNames& gauges() const { return names_; }

    struct Found {
        const Control* control = nullptr;
        std::string problem;  // one line when nothing was found
    };
    // "GAUGE CONTROL": "gps outer", "gps#2 ent", "dme 3".
    Found find(std::string_view name) const;

    // Presses a control `times` (a ring: its clockwise half).
    void press(const Control& control, const Clicker& click, int times = 1) const;
    // Turns a ring by `notches`, clockwise positive; a push control does not turn.
    void turn(const Control& control, int notches, const Clicker& click) const;
    // Turns the ring area `area` of gauge `gauge` is a half of, as the wheel over it does; false
    // where that area is no half of a ring.
    bool turn_at(size_t gauge, size_t area, int notches, const Clicker& click) const;

    // Where a click presses an area: its middle.
    static std::pair<int32_t, int32_t> press_point(const MouseAreaRecord& area);

private:
    std::vector<GaugeControls> gauges_;
    GaugeNames names_;
    std::vector<Control> controls_;
};

}  // namespace panel::controls
