// Scripted sessions: what a test host does to one gauge, step by step, read from a small text
// format that the native and the Windows test hosts share.
//
//   # comment                 set ID NUMBER      (a double: 1.5, -2e3, 1e300, nan, inf, -inf)
//   int ID INTEGER            (low 32 bits: 42, -7, 0x1345)
//   text ID "quoted text"     (escapes \\ \" \xHH)      null ID   (a NULL text pointer)
//   clear ID                  (back to 0.0)
//   frame [COUNT]             whole updates: pre-update, element pass, pre-draw
//   pre-update | elements | pre-draw | service SERVICE_ID     one phase on its own
//   click X Y                 a left click at gauge pixels
//   area N                    a left click in the middle of the N-th clickable area
//   note TEXT                 copied into the trace
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace panel::trace {

class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class StepKind {
    set_number, set_integer, set_text, set_null_text, clear,
    frame, pre_update, elements, pre_draw, service,
    click, click_area, note,
};

struct Step {
    StepKind kind;
    int line = 0;
    uint32_t id = 0;        // variable id
    double number = 0.0;    // set
    int32_t integer = 0;    // int, service id, area number, frame count
    int32_t x = 0, y = 0;   // click
    std::string text;       // text, note
};

// Throws ScriptError naming the line of the first malformed step.
std::vector<Step> parse_script(std::string_view source);

}  // namespace panel::trace
