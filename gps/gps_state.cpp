// The navigator's one state record and its list of simulator inputs.
#include "gps_state.h"

GpsState gps;

// Refreshed in this order at every pre-update; the host relies on the order, so the records
// that nothing reads stay in their places.
ModuleVar gps_inputs[GPS_INPUT_COUNT] = {
    {.id = 773},                           // supply
    {.id = 836},                           // bearing, radians
    {.id = 835},                           // waypoint distance, metres
    {.id = 837},                           // cross-track distance, metres
    {.id = 832},                           // ground speed, metres per second
    {.id = 834}, {.id = 838},              // desired track, radians
    {.id = 2},   {.id = 614},              // height above ground, metres
    {.id = 604},                           // seconds
    {.id = 6},                             // UTC hours
    {.id = 7},                             // UTC minutes
    {.id = 827},                           // latitude
    {.id = 828},                           // longitude
    {.id = 0},   {.id = 1},                // tick counter
    {.id = 5},   {.id = 344},              // wind direction
    {.id = 81},                            // heading
    {.id = 343},                           // wind speed
    {.id = 61},                            // airspeed, knots
    {.id = 74},                            // altitude, feet
    {.id = 45},  {.id = 40},  {.id = 75},  // barometric setting, millibars
    {.id = 84},                            // RMI angle
    {.id = 65},                            // vertical speed, 1/256 metre per second
    {.id = 847}, {.id = 60},
};
