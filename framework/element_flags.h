// The two flag bits that element callbacks drive.
#pragma once

#include "gauge_records.h"

// Marks a lit part of the face: readouts, labels, lamps, screen pictures, overlays.
static inline void light_element(ElementHeader* head) {
    head->flags |= ELEMENT_LIT;
}

// Decided afresh on every call: the element is drawn only while `shown` holds.
static inline void show_element_when(ElementHeader* head, bool shown) {
    if (shown) {
        head->flags &= ~ELEMENT_HIDDEN;
    } else {
        head->flags |= ELEMENT_HIDDEN;
    }
}
