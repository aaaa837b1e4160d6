#include "element_list.h"

ElementHeader* element_nth(ElementHeader* start, uint32_t n) {
    ElementHeader* current = start;
    for (uint32_t step = 0; current != NULL && step < n; ++step) {
        if (current->children == NULL) return NULL;
        current = current->children[0];  // an empty list ends the walk too
    }
    return current;
}

void element_set_flags(ElementHeader* start, uint32_t n, uint32_t bits) {
    ElementHeader* element = element_nth(start, n);
    if (element != NULL) element->flags |= bits;
}

void element_clear_flags(ElementHeader* start, uint32_t n, uint32_t bits) {
    ElementHeader* element = element_nth(start, n);
    if (element != NULL) element->flags &= ~bits;
}
