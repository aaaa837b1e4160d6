// Platform layer for native builds (Linux): the DME frequency text without USER32.
#include <stdio.h>

#include "platform.h"

void platform_compose_frequency(char* text, size_t capacity, int d1, int d2, int d3, int d4) {
    snprintf(text, capacity, "1%d%d.%d%d", d1, d2, d3, d4);
}
