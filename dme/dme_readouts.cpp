// The string callbacks: distance, speed and time figures, and the frequency in its steady and
// its blinking form. Each one: lit bit, value, hidden bit, text.
#include <stdlib.h>

#include "dme_callbacks.h"
#include "dme_state.h"
#include "element_flags.h"
#include "gauge_math.h"
#include "platform.h"
#include "readout_text.h"

// Figures only while reception is strictly above 255.
static bool receiving(void) {
    return dme_input(RECEPTION_INPUT) > 255;
}

static bool shows_speed_and_time(void) {
    return dme.powered == 1 && (dme.mode == MODE_RMT || dme.mode == MODE_GST) && receiving();
}

// Stores the distance on every call, for the time readout and the dashes after it.
double GAUGE_CALL distance_readout(StringElement* element) {
    light_element(&element->head);
    float distance = (float)element->own_var.value.number;
    dme.distance = distance;
    show_element_when(&element->head, dme.powered == 1 && receiving() && distance > -1.0f);
    format_readout(element->text, "%3.1f", distance);
    return distance;
}

// Stores the speed as a clamped integer for the time figure; the text shows it unclamped.
double GAUGE_CALL speed_readout(StringElement* element) {
    light_element(&element->head);
    float speed = (float)element->own_var.value.number;
    dme.speed = truncate_to_int32(speed);
    if (dme.speed > 1000) dme.speed = 999;
    show_element_when(&element->head, shows_speed_and_time() && dme.speed >= 0);
    format_readout(element->text, "%03.0f", speed);
    return speed;
}

// Works from the distance and speed the two readouts before it stored in this pass.
double GAUGE_CALL time_readout(StringElement* element) {
    light_element(&element->head);
    // float over int is a float division, and stays in float through the minutes
    float minutes = 99.0f;
    if (dme.speed != 0) minutes = dme.distance / dme.speed * 60;
    dme.time_minutes = minutes;
    show_element_when(&element->head, shows_speed_and_time() && !(dme.distance < 0 && dme.speed < 0));
    format_readout(element->text, "%3.0f", minutes);
    return minutes;
}

// The own value's low word holds four BCD digits, highest first: 0x1345 is 113.45 MHz.
static float frequency_mhz(uint32_t word) {
    char composed[GAUGE_TEXT_CAPACITY];
    platform_compose_frequency(composed, sizeof composed, (int)((word >> 12) & 0xF), (int)((word >> 8) & 0xF),
                               (int)((word >> 4) & 0xF), (int)(word & 0xF));
    return (float)atof(composed);
}

// Composing, reading back and formatting the frequency cost more than the rest of the frame,
// and the word changes only when the radio is tuned: each readout keeps the text its last word
// gave and writes it again while the word stays. Only the four digits count, so a key above
// 0xFFFF stands for "nothing yet".
typedef struct FrequencyText {
    uint32_t digits;
    char text[GAUGE_TEXT_CAPACITY];
} FrequencyText;

static FrequencyText freq_text = {0xFFFFFFFFu, ""};
static FrequencyText freq_set_text = {0xFFFFFFFFu, ""};

// The text of the frequency in the own value's word.
static const char* frequency_text(FrequencyText* cache, const StringElement* element) {
    uint32_t digits = element->own_var.value.word & 0xFFFFu;
    if (cache->digits != digits) {
        format_readout(cache->text, "%3.2f", frequency_mhz(digits));
        cache->digits = digits;
    }
    return cache->text;
}

// The steady frequency, counter at 0.
double GAUGE_CALL freq_readout(StringElement* element) {
    light_element(&element->head);
    const char* mhz = frequency_text(&freq_text, element);
    show_element_when(&element->head, dme.mode == MODE_FREQ && dme.powered == 1 && dme.freq_set_count == 0.0f);
    copy_readout_text(element->text, mhz);
    return 13;
}

// The frequency being set, counter at 1: on in even seconds, off in odd ones.
double GAUGE_CALL freq_set_readout(StringElement* element) {
    light_element(&element->head);
    const char* mhz = frequency_text(&freq_set_text, element);
    show_element_when(&element->head,
                      dme.powered == 1 && dme.mode == MODE_FREQ && dme.freq_set_count == 1.0f && dme.blink_phase == 1);
    copy_readout_text(element->text, mhz);
    return 13;
}
