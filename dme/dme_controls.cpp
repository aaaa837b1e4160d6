// The mouse handlers: power switch, mode selector, and the frequency knob's centre and rings.
// Switch and selector handlers compare before they write, so a click on the position already
// set is silent.
#include "cue_player.h"
#include "dme_callbacks.h"
#include "dme_state.h"
#include "host_services.h"

// Simulator events: the frequency-setting toggle and the four tuning steps.
#define EVENT_FREQ_SET_TOGGLE 0x10394u
#define EVENT_OUTER_LEFT 0x1006Cu
#define EVENT_OUTER_RIGHT 0x1006Du
#define EVENT_INNER_LEFT 0x1006Eu
#define EVENT_INNER_RIGHT 0x1006Fu

// The rings tune only while the frequency is being set.
static int setting_frequency(void) {
    return dme.powered == 1 && dme.mode == MODE_FREQ && dme.freq_set_count == 1.0f;
}

int32_t GAUGE_CALL power_on_click(void*, uint32_t) {
    if (dme.power_switch == 0) {
        dme.power_switch = 1;
        play_cue(CUE_CLICK);
    }
    return 0;
}

int32_t GAUGE_CALL power_off_click(void*, uint32_t) {
    if (dme.power_switch == 1) {
        dme.power_switch = 0;
        play_cue(CUE_CLICK);
    }
    return 0;
}

int32_t GAUGE_CALL mode_rmt_click(void*, uint32_t) {
    if (dme.mode > MODE_RMT) {
        dme.mode = MODE_RMT;
        play_cue(CUE_CLICK);
    }
    return 0;
}

// Each click at FREQ steps the counter: 0 steady frequency, 1 setting (event), 2 = back to 0
// (event). An unpowered radio holds the counter, so it can never run past the cycle.
int32_t GAUGE_CALL mode_freq_click(void*, uint32_t) {
    if (dme.mode == MODE_RMT) {
        dme.mode = MODE_FREQ;
        play_cue(CUE_CLICK);
    }
    if (dme.mode == MODE_GST) {
        dme.mode = MODE_FREQ;
        play_cue(CUE_CLICK);
    }
    if (dme.powered != 1) return 0;
    dme.freq_set_count = dme.freq_set_count + 1.0f;
    if (dme.freq_set_count == 1.0f) service_trigger_key_event(EVENT_FREQ_SET_TOGGLE);
    if (dme.freq_set_count == 2.0f) {
        service_trigger_key_event(EVENT_FREQ_SET_TOGGLE);
        dme.freq_set_count = 0.0f;
    }
    return 0;
}

int32_t GAUGE_CALL mode_gst_click(void*, uint32_t) {
    if (dme.mode < MODE_GST) {
        dme.mode = MODE_GST;
        play_cue(CUE_CLICK);
    }
    return 0;
}

int32_t GAUGE_CALL double_step_click(void*, uint32_t) {
    dme.double_step = dme.double_step == 0 ? 1 : 0;
    play_cue(CUE_CLICK);
    return 0;
}

// The inner ring sends its step twice while double stepping.
static void inner_ring_step(uint32_t event_id) {
    if (!setting_frequency()) return;
    service_trigger_key_event(event_id);
    if (dme.double_step == 1) service_trigger_key_event(event_id);
}

static void outer_ring_step(uint32_t event_id) {
    if (setting_frequency()) service_trigger_key_event(event_id);
}

int32_t GAUGE_CALL inner_right_click(void*, uint32_t) {
    inner_ring_step(EVENT_INNER_RIGHT);
    return 0;
}

int32_t GAUGE_CALL outer_right_click(void*, uint32_t) {
    outer_ring_step(EVENT_OUTER_RIGHT);
    return 0;
}

int32_t GAUGE_CALL inner_left_click(void*, uint32_t) {
    inner_ring_step(EVENT_INNER_LEFT);
    return 0;
}

int32_t GAUGE_CALL outer_left_click(void*, uint32_t) {
    outer_ring_step(EVENT_OUTER_LEFT);
    return 0;
}
