#include "trace_lines.h"

#include <charconv>

#include "text_escape.h"

namespace panel {
namespace {

std::string hex(uint32_t value) {
    char text[16];
    auto end = std::to_chars(text, text + sizeof text, value, 16).ptr;
    return "0x" + std::string(text, end);
}

const char* kind_name(uint32_t kind) {
    switch (kind) {
        case ELEMENT_STATIC_IMAGE: return "static";
        case ELEMENT_STRING: return "string";
        case ELEMENT_SLIDER: return "slider";
        case ELEMENT_ICON: return "icon";
        default: return "unknown";
    }
}

}  // namespace

std::string element_line(const std::string& prefix, size_t number, uint32_t kind, const ElementState& state) {
    std::string text = prefix + " e" + std::to_string(number) + " " + kind_name(kind) + " flags=" + hex(state.flags);
    if (kind != ELEMENT_STATIC_IMAGE) {
        text += " value=" + format_double(state.value);
        if (kind == ELEMENT_SLIDER) text += " y=" + format_double(state.y_value);
        if (kind == ELEMENT_STRING) text += " text=" + quote_text(state.text_view());
    }
    return text;
}

std::string event_line(const std::string& prefix, const KeyEvent& event) {
    return prefix + " event " + hex(event.id) + " " + std::to_string(event.value);
}

std::string cue_line(const std::string& prefix, const CueRequest& cue) {
    return prefix + " cue " + quote_text(cue.path) + " " + hex(cue.flags);
}

std::string lookups_line(const std::string& prefix, const EventLog& log) {
    if (log.lookups().empty()) return "";
    std::string text = prefix + " lookups=" + std::to_string(log.lookups().size()) + " ";
    for (size_t i = 0; i < log.lookups().size(); ++i) text += (i ? "," : "") + std::to_string(log.lookups()[i]);
    return text;
}

}  // namespace panel
