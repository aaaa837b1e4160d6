// Writing a readout's text into the host's 32-byte text buffer.
#pragma once

#include "gauge_records.h"

// Formats `value` with a printf format holding one floating-point conversion. A value that is
// not finite gives the text the format makes of 0, with every digit of the conversion
// replaced by '-' ("%05.1fnm" gives "---.-nm"). Writes at most GAUGE_TEXT_CAPACITY bytes.
void format_readout(char* text, const char* format, double value);

// Copies at most GAUGE_TEXT_CAPACITY - 1 characters of `source`; NULL gives the empty text.
void copy_readout_text(char* text, const char* source);
