#include "dme_state.h"

DmeState dme;

// Ids are the host's simulator variable numbers, in the order the host is asked for them.
ModuleVar dme_inputs[DME_INPUT_COUNT] = {
    {.id = 36}, {.id = 35}, {.id = 773}, {.id = 61}, {.id = 0}, {.id = 372}, {.id = 58}, {.id = 1}, {.id = 604},
};
