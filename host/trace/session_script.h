// Scripted sessions: what a test host does to one gauge, step by step, read from a small text
// format that the native and the Windows test hosts share.
//
//   # comment                 set VAR NUMBER      (a double: 1.5, -2e3, 1e300, nan, inf, -inf)
//   int VAR INTEGER           (low 32 bits: 42, -7, 0x1345)
//   text VAR "quoted text"    (escapes \\ \" \xHH)      null VAR   (a NULL text pointer)
//   clear VAR                 (back to the value of a variable never set)
//   frame [COUNT]             whole updates: pre-update, element pass, pre-draw
//   pre-update | elements | pre-draw | service SERVICE_ID     one phase on its own
//   click X Y                 a left click at gauge pixels
//   area N                    a left click in the middle of the N-th clickable area
//   note TEXT                 copied into the trace
//
// VAR is a variable's id or its name in the simulator's catalogue (773 or avionics_supply);
// each step must give the type the catalogue holds for it. Lines may end in CRLF and the file
// may start with a UTF-8 byte-order mark; any other control character is an error.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "simulator_catalogue.h"

namespace panel::trace {

// Far more updates than any session needs (over three hours at 18 a second); a script that
// asks for more is refused before it runs.
inline constexpr int64_t max_script_frames = 200000;

class ScriptError : public std::runtime_error {
public:
    // "line N: what" or "line N, column C: what".
    ScriptError(int line, int column, const std::string& message);
    int line() const { return line_; }
    int column() const { return column_; }  // 0 when the whole line is meant
    const std::string& message() const { return message_; }
    // "FILE:LINE: what" (with ":COLUMN" when known), for a message about a file.
    std::string located(const std::string& file) const;

private:
    int line_;
    int column_;
    std::string message_;
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

// Throws ScriptError naming the line (and column) of the first malformed step.
std::vector<Step> parse_script(std::string_view source, const Catalogue& catalogue = simulator_catalogue());

}  // namespace panel::trace
