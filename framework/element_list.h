// Walking and flagging a gauge's chain of display elements by position.
#pragma once

#include "gauge_records.h"

// The element `n` steps down the chain of first children from `start`, or NULL.
ElementHeader* element_nth(ElementHeader* start, uint32_t n);

// OR `bits` into, or clear them from, the flags of that element; nothing when it is missing.
void element_set_flags(ElementHeader* start, uint32_t n, uint32_t bits);
void element_clear_flags(ElementHeader* start, uint32_t n, uint32_t bits);
