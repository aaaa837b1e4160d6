// Every function the host calls in the GPS navigator, named as the face's records name them.
#pragma once

#include "gauge_records.h"

// gauge callback: inputs and derivations at pre-update, one-time reset at pre-draw
void GAUGE_CALL gps_gauge_callback(GaugeHeader* gauge, int32_t service_id, uint32_t extra);

// mouse handlers
int32_t GAUGE_CALL power_knob_off_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL power_knob_on_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL direct_to_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL crsr_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL ent_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL outer_knob_right_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL outer_knob_left_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL alt_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL inner_knob_right_click(void* position, uint32_t event_flags);
int32_t GAUGE_CALL inner_knob_left_click(void* position, uint32_t event_flags);

// pictures
double GAUGE_CALL lit_screen_image(IconElement* element);
double GAUGE_CALL power_knob_image(IconElement* element);
double GAUGE_CALL startup_screen_image(IconElement* element);
double GAUGE_CALL page_image(IconElement* element);
double GAUGE_CALL direct_to_symbol_image(IconElement* element);
double GAUGE_CALL deviation_scale_image(IconElement* element);
double GAUGE_CALL deviation_needle_x(SliderElement* element);
double GAUGE_CALL deviation_needle_y(SliderElement* element);
double GAUGE_CALL deviation_flag_image(IconElement* element);
double GAUGE_CALL fly_left_right_image(IconElement* element);
double GAUGE_CALL leg_label_image(IconElement* element);
double GAUGE_CALL hemisphere_image(IconElement* element);

// readouts shown on every page while running
double GAUGE_CALL waypoint_distance_readout(StringElement* element);
double GAUGE_CALL ground_speed_readout(StringElement* element);
double GAUGE_CALL page_number_readout(StringElement* element);
// page 1: navigation
double GAUGE_CALL nav_text_readout(StringElement* element);
double GAUGE_CALL cursor_marker_readout(StringElement* element);
double GAUGE_CALL cross_track_readout(StringElement* element);
double GAUGE_CALL desired_track_readout(StringElement* element);
double GAUGE_CALL track_readout(StringElement* element);
double GAUGE_CALL bearing_to_readout(StringElement* element);
double GAUGE_CALL bearing_from_readout(StringElement* element);
double GAUGE_CALL ete_hours_readout(StringElement* element);
double GAUGE_CALL ete_minutes_readout(StringElement* element);
// page 2: position
double GAUGE_CALL latitude_degrees_readout(StringElement* element);
double GAUGE_CALL latitude_minutes_readout(StringElement* element);
double GAUGE_CALL longitude_degrees_readout(StringElement* element);
double GAUGE_CALL longitude_minutes_readout(StringElement* element);
// page 3: times
double GAUGE_CALL utc_hours_readout(StringElement* element);
double GAUGE_CALL utc_minutes_readout(StringElement* element);
double GAUGE_CALL depart_hours_readout(StringElement* element);
double GAUGE_CALL depart_minutes_readout(StringElement* element);
double GAUGE_CALL time_page_text_readout(StringElement* element);
double GAUGE_CALL ete_hours_page3_readout(StringElement* element);
double GAUGE_CALL ete_minutes_page3_readout(StringElement* element);
double GAUGE_CALL elapsed_hours_readout(StringElement* element);
double GAUGE_CALL elapsed_minutes_readout(StringElement* element);
// page 4: pressure and minimum safe altitude
double GAUGE_CALL baro_readout(StringElement* element);
double GAUGE_CALL msa_readout(StringElement* element);
// page 5: vertical navigation
double GAUGE_CALL vnav_altitude_readout(StringElement* element);
double GAUGE_CALL selected_altitude_readout(StringElement* element);
double GAUGE_CALL vnav_text_readout(StringElement* element);
double GAUGE_CALL vnav_distance_readout(StringElement* element);
double GAUGE_CALL vnav_groundspeed_readout(StringElement* element);
double GAUGE_CALL vertical_speed_readout(StringElement* element);
// start-up check screen
double GAUGE_CALL startup_baro_readout(StringElement* element);
double GAUGE_CALL startup_altitude_readout(StringElement* element);
double GAUGE_CALL startup_rmi_readout(StringElement* element);
double GAUGE_CALL startup_obs_readout(StringElement* element);
// never shown: copies the status code
double GAUGE_CALL status_code_reader(StringElement* element);
