#include "readout_text.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

#include "gauge_records.h"

// A floating-point conversion's type letter. A switch rather than strchr on a literal, which
// some compilers turn into a memchr import the module would then need from its host.
static int is_float_type_letter(char c) {
    // clang-format off
    switch (c) {
        case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
            return 1;
        default:
            return 0;
    }
    // clang-format on
}

// Length of the conversion that starts at format[start] ('%'), up to its type letter.
static size_t conversion_length(const char* format, size_t start) {
    size_t end = start + 1;
    while (format[end] != '\0' && !is_float_type_letter(format[end])) ++end;
    return format[end] == '\0' ? end - start : end - start + 1;
}

// Index of the first '%' that starts a conversion (not "%%"), or the format's length.
static size_t conversion_start(const char* format) {
    size_t i = 0;
    while (format[i] != '\0') {
        if (format[i] == '%') {
            if (format[i + 1] != '%') return i;
            i += 2;
        } else {
            ++i;
        }
    }
    return i;
}

// Appends `piece` (a format fragment without conversions, or `with_value` applied to 0.0)
// to `text`, within the buffer.
static void append_fragment(char* text, const char* fragment, size_t length, int with_value, int dashes) {
    char piece_format[GAUGE_TEXT_CAPACITY * 2];
    if (length >= sizeof piece_format) length = sizeof piece_format - 1;
    memcpy(piece_format, fragment, length);
    piece_format[length] = '\0';

    size_t used = strlen(text);
    size_t room = GAUGE_TEXT_CAPACITY - used;
    if (with_value) {
        snprintf(text + used, room, piece_format, 0.0);
    } else {
        snprintf(text + used, room, piece_format, 0);
    }
    if (dashes) {
        for (char* c = text + used; *c != '\0'; ++c) {
            if (*c >= '0' && *c <= '9') *c = '-';
        }
    }
}

void format_readout(char* text, const char* format, double value) {
    if (isfinite(value)) {
        snprintf(text, GAUGE_TEXT_CAPACITY, format, value);
        return;
    }
    size_t start = conversion_start(format);
    text[0] = '\0';
    append_fragment(text, format, start, 0, 0);
    if (format[start] == '\0') return;
    size_t length = conversion_length(format, start);
    append_fragment(text, format + start, length, 1, 1);
    const char* rest = format + start + length;
    append_fragment(text, rest, strlen(rest), 0, 0);
}

void copy_readout_text(char* text, const char* source) {
    if (source == NULL) source = "";
    snprintf(text, GAUGE_TEXT_CAPACITY, "%s", source);
}
