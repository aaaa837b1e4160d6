// Every function the host calls in the DME radio, named as the face's records name them.
#pragma once

#include "gauge_records.h"

// gauge callback: inputs and derivations at pre-update, one-time reset at pre-draw
void GAUGE_CALL dme_gauge_callback(GaugeHeader* gauge, int32_t service_id, uint32_t extra);

// mouse handlers
int32_t GAUGE_CALL power_on_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL power_off_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL mode_rmt_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL mode_freq_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL mode_gst_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL double_step_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL inner_right_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL outer_right_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL inner_left_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL outer_left_click(void* position, uint32_t event_flags);

// pictures of the controls
double GAUGE_CALL mode_knob_image(IconElement* element);
double GAUGE_CALL power_switch_image(IconElement* element);
double GAUGE_CALL knob_overlay_image(IconElement* element);

// unit labels and the RMT lamp
double GAUGE_CALL nm_label(IconElement* element);
double GAUGE_CALL mhz_label(IconElement* element);
double GAUGE_CALL kt_label(IconElement* element);
double GAUGE_CALL min_label(IconElement* element);
double GAUGE_CALL rmt_lamp(IconElement* element);

// readouts
double GAUGE_CALL distance_readout(StringElement* element);
double GAUGE_CALL speed_readout(StringElement* element);
double GAUGE_CALL time_readout(StringElement* element);
double GAUGE_CALL freq_readout(StringElement* element);
double GAUGE_CALL freq_set_readout(StringElement* element);

// dashes in place of the figures
double GAUGE_CALL distance_dashes(IconElement* element);
double GAUGE_CALL speed_dashes(IconElement* element);
double GAUGE_CALL time_dashes(IconElement* element);
