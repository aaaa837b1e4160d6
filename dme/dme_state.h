// The DME radio's one state record, its mode selector positions and its simulator inputs.
#pragma once

#include "gauge_records.h"

enum DmeMode { MODE_RMT = 0, MODE_FREQ = 1, MODE_GST = 2 };

// Zero at load; put into the starting state once, at the first pre-draw.
typedef struct DmeState {
    int32_t power_switch;  // the radio's own switch: 0 off, 1 on
    int32_t supply_state;  // the supply input, truncated; 1 means supply present
    int32_t powered;       // switched on and supplied
    int32_t mode;          // enum DmeMode
    float freq_set_count;  // -1 after the reset; 0 steady frequency, 1 frequency being set
    int32_t double_step;   // 1: the inner ring sends its event twice per click
    // figures stored by the readouts for the elements after them in the chain
    float distance;
    int32_t speed;  // truncated, 999 above 1000
    float time_minutes;
    // blink clock
    int32_t whole_seconds;
    int32_t blink_phase;  // 1 in even seconds
} DmeState;

static_assert(sizeof(DmeState) == 11 * 4, "DmeState is eleven 4-byte fields");

extern DmeState dme;

// The gauge's inputs, refreshed in this order at every pre-update.
enum DmeInput {
    SPEED_INPUT,     // 36, also the speed readout's own variable
    DISTANCE_INPUT,  // 35, also the distance readout's own variable
    SUPPLY_INPUT,    // 773
    AIRSPEED_INPUT,  // 61
    UNUSED_0_INPUT,
    UNUSED_372_INPUT,
    RECEPTION_INPUT,  // 58: figures while above 255, dashes while below
    TICK_INPUT,       // 1
    SECONDS_INPUT,    // 604
    DME_INPUT_COUNT
};

extern ModuleVar dme_inputs[DME_INPUT_COUNT];

// The value that the last pre-update left in an input.
static inline double dme_input(enum DmeInput input) {
    return dme_inputs[input].value.number;
}
