// The gauge callback: inputs and power at every pre-update, the starting state at the first
// pre-draw.
#include "dme_callbacks.h"
#include "dme_state.h"
#include "gauge_math.h"
#include "host_services.h"

// Makes the reset run once for the life of the module, however often the gauge is opened.
static int32_t init_done;

static void dme_pre_update(void) {
    service_lookup_all(dme_inputs, DME_INPUT_COUNT);
    dme.supply_state = truncate_to_int32(dme_input(SUPPLY_INPUT));
    dme.powered = (dme.supply_state == 1 && dme.power_switch == 1) ? 1 : 0;
    dme.whole_seconds = truncate_to_int32(dme_input(SECONDS_INPUT));
    // Even counts of either sign blink on.
    dme.blink_phase = gauge_fmod(dme.whole_seconds, 2.0) == 0.0 ? 1 : 0;
}

static void dme_pre_draw(void) {
    if (init_done != 0) return;
    init_done = 1;
    dme.supply_state = 0;
    dme.power_switch = 0;
    dme.powered = 0;
    dme.mode = MODE_RMT;
    dme.distance = 0.0f;
    dme.speed = 0;
    dme.freq_set_count = -1.0f;
    dme.time_minutes = 0.0f;
    dme.double_step = 0;
    dme.blink_phase = 0;
    dme.whole_seconds = 0;
}

void GAUGE_CALL dme_gauge_callback(GaugeHeader*, int32_t service_id, uint32_t) {
    switch (service_id) {
        case SERVICE_PRE_UPDATE: dme_pre_update(); break;
        case SERVICE_PRE_DRAW: dme_pre_draw(); break;
        default: break;
    }
}
