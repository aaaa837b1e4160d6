// The DME radio's frequency selection as the gauge's events drive it: the frequency-setting
// event starts a selection at the tuned frequency, the steps change it, and the next setting
// event tunes the radio to it. Shared by the simulated radio and a live simulator's, whose
// tuned frequency comes from outside.
#pragma once

#include "simulator_units.h"

namespace panel {

class DmeSelection {
public:
    explicit DmeSelection(int tuned_hundredths) : tuned_(tuned_hundredths), selection_(tuned_hundredths) {}

    // Returns true when this event ended a selection and tuned the radio.
    bool select() {
        if (selecting_) tuned_ = selection_;
        else selection_ = tuned_;
        selecting_ = !selecting_;
        return !selecting_;
    }
    // Whole megahertz within 108 to 117, wrapping round.
    void step_megahertz(int steps) {
        const int lowest = units::lowest_dme_frequency / 100;
        selection_ = (lowest + wrapped(selection_ / 100 - lowest + steps, 10)) * 100 + selection_ % 100;
    }
    // One channel within the megahertz, wrapping round.
    void step_fraction(int steps) {
        selection_ = selection_ / 100 * 100 + wrapped(selection_ % 100 + steps * units::dme_channel_step, 100);
    }
    // The radio tuned from elsewhere; a selection under way is kept.
    void set_tuned(int hundredths) {
        tuned_ = hundredths;
        if (!selecting_) selection_ = hundredths;
    }

    int tuned() const { return tuned_; }
    int selection() const { return selection_; }
    bool selecting() const { return selecting_; }

private:
    // The remainder that stays within 0 up to `divisor` for negative values too.
    static int wrapped(int value, int divisor) { return ((value % divisor) + divisor) % divisor; }

    int tuned_;
    int selection_;
    bool selecting_ = false;
};

}  // namespace panel
