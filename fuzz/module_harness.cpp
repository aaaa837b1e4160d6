#include "module_harness.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <utility>

#include "fuzz_support.h"
#include "text_escape.h"

namespace panel::fuzz {
namespace {

constexpr uint32_t SUPPLY_VARIABLE = 773;
constexpr uint32_t CROSS_TRACK_VARIABLE = 837;
constexpr uint32_t TICK_VARIABLE = 1;
constexpr uint32_t SECONDS_VARIABLE = 604;
// Enough to run timers and blink clocks through, few enough to keep inputs fast.
constexpr int max_frames_per_input = 400;

// The callbacks' own writing, checked by a wrapper around each string callback. The host
// calls the wrapper through the element's record, so it sees exactly what the host sees.
struct WrappedText {
    StringElement* element;
    StringCallback original;
};
std::vector<WrappedText> wrapped_texts;
std::string text_fault;  // the first fault, reported by the harness after the call

constexpr char text_canary = '\xA5';

double GAUGE_CALL guarded_text_callback(StringElement* element) {
    // The host calls them in draw order, the order they were wrapped in: look there first.
    static size_t next = 0;
    if (next >= wrapped_texts.size() || wrapped_texts[next].element != element) {
        next = 0;
        while (next < wrapped_texts.size() && wrapped_texts[next].element != element) ++next;
    }
    const StringCallback original = wrapped_texts.at(next++).original;
    char* buffer = element->text;
    std::memset(buffer, text_canary, GAUGE_TEXT_CAPACITY);
    const double value = original(element);
    const void* end = std::memchr(buffer, '\0', GAUGE_TEXT_CAPACITY);
    if (text_fault.empty() && element->text != buffer) {
        text_fault = "a string callback replaced the host's text pointer";
    } else if (text_fault.empty() && end == nullptr) {
        text_fault = "a string callback left no NUL within its 32-byte text: " +
                     quote_text(std::string_view(buffer, GAUGE_TEXT_CAPACITY));
    } else if (end != nullptr) {
        // What follows the text is what the host's cleared buffer would hold.
        char* after = static_cast<char*>(const_cast<void*>(end));
        std::memset(after, 0, buffer + GAUGE_TEXT_CAPACITY - after);
    }
    return value;
}

// Simulator values that sit on a boundary of some rule, or break arithmetic.
constexpr double special_numbers[] = {
    // clang-format off
    0.0, -0.0, 1.0, -1.0, 0.999, 1.5, 1.9999999, 2.0, 5.0, -5.0, 4.9, 5.1, 10.0, 54.0, 99.9, 100.0,
    255.0, 256.0, 254.999, 255.001, 300.0, 359.0, 360.0, 361.0, 610.0, 1000.0, 1852.0, 9283.754,
    359999.0, 360000.0, 1e5, 1e6,
    2147483647.0, -2147483648.0, 2147483648.0, -2147483649.0, 4294967296.0, 1e300, -1e300,
    3.14, -3.14, 6.28, 0.00390625,
    std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
    std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(),
    // clang-format on
    -std::numeric_limits<double>::denorm_min(),
    std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
    std::numeric_limits<double>::quiet_NaN(),
    -std::numeric_limits<double>::quiet_NaN(),
};

constexpr int32_t special_integers[] = {
    // clang-format off
    0, 1, -1, 7, 39, 64, 72, 255, 256, 0x0800, 0x1345, 0x1700, 0x9999, 0xFFFF, 0x10000,
    std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min(),
};

constexpr int32_t special_services[] = {
    0, 1, 5, 6, 7, 9, 10, 11, 12, 13, -1, 255, 256,
    std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min(),
    // clang-format on
};

constexpr size_t special_text_lengths[] = {0, 1, 30, 31, 32, 33, 200};

template <typename T, size_t N>
T pick_from(FuzzInput& in, const T (&table)[N]) {
    return table[in.pick(N)];
}

double pick_number(FuzzInput& in) {
    switch (in.pick(5)) {
        case 0: return pick_from(in, special_numbers);
        case 1: return in.f64();
        case 2: return static_cast<int8_t>(in.byte());
        case 3: return in.i32() / 16.0;
        default: {
            // One step either side of a boundary.
            const double at = pick_from(in, special_numbers);
            const double towards =
                (in.byte() & 1) ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
            return std::nextafter(at, towards);
        }
    }
}

int32_t pick_integer(FuzzInput& in) {
    switch (in.pick(3)) {
        case 0: return pick_from(in, special_integers);
        case 1: return static_cast<int8_t>(in.byte());
        default: return in.i32();
    }
}

std::string pick_text(FuzzInput& in) {
    const size_t length = (in.byte() & 1) ? pick_from(in, special_text_lengths) : in.byte();
    std::string text;
    text.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        // The input's own bytes first, then a pattern with bytes above 0x7F.
        text.push_back(in.empty() ? static_cast<char>((i & 1) ? 0x80 + i % 0x80 : 'A' + i % 26)
                                  : static_cast<char>(in.byte()));
    }
    return text;
}

std::vector<uint32_t> ids_of_type(const Catalogue& catalogue, VariableType type) {
    std::vector<uint32_t> ids;
    for (const VariableInfo& info : catalogue.variables()) {
        if (info.type == type) ids.push_back(info.id);
    }
    return ids;
}

}  // namespace

bool gps_supply_off(double supply) {
    return !(supply == 1.0);
}

bool dme_supply_off(double supply) {
    return !(supply >= 1.0 && supply < 2.0);  // truncates to anything but 1
}

ModuleHarness::ModuleHarness(const std::filesystem::path& module_dir, GaugeRules rules, ModuleInstance instance)
    : rules_(std::move(rules)) {
    auto gauge = std::make_unique<InProcessGauge>(module_dir / rules_.module_file, instance);
    gauge_ = gauge.get();
    session_ = std::make_unique<GaugeSession>(std::move(gauge));
    const MouseDispatcher& mouse = session_->driver().mouse();
    const auto on = mouse.area_at(rules_.power_on.x, rules_.power_on.y);
    const auto off = mouse.area_at(rules_.power_off.x, rules_.power_off.y);
    if (!on || !off) throw FuzzFailure(rules_.module_file + ": no power switch where the rules place it");
    power_on_area_ = *on;
    power_off_area_ = *off;
    for (const ElementRecord& element : session_->records().elements) load_flags_.push_back(element.flags);
    snapshot_records();
    wrap_text_callbacks();
}

ModuleHarness::~ModuleHarness() {
    std::erase_if(wrapped_texts, [&](const WrappedText& wrapped) {
        for (ElementHeader* element : gauge_->module_view().elements()) {
            if (reinterpret_cast<ElementHeader*>(wrapped.element) == element) {
                wrapped.element->callback = wrapped.original;
                return true;
            }
        }
        return false;
    });
}

void ModuleHarness::add_record(std::string what, const void* at, size_t size,
                               std::vector<std::pair<size_t, size_t>> skipped) {
    RecordCopy copy{std::move(what), static_cast<const uint8_t*>(at), {}, {}};
    copy.bytes.assign(copy.at, copy.at + size);
    std::sort(skipped.begin(), skipped.end());
    size_t from = 0;
    for (const auto& [offset, length] : skipped) {
        if (offset > from) copy.compared.emplace_back(from, offset - from);
        from = offset + length;
    }
    if (from < size) copy.compared.emplace_back(from, size - from);
    records_.push_back(std::move(copy));
}

void ModuleHarness::snapshot_records() {
    const LoadedModule& module = gauge_->module();
    const GaugeView& view = gauge_->module_view();
    add_record("ImportTable", &module.import_table(), sizeof(ImportTableRecord));
    add_record("Linkage", &module.linkage(), sizeof(LinkageRecord));
    add_record("the gauge header", &view.header(), sizeof(GaugeHeader));
    add_record("the gauge name", view.header().gauge_name, std::strlen(view.header().gauge_name) + 1);
    add_record("the root element variable", view.header().element_list, sizeof(ElementHeader*));

    // Beside the flags word, the host writes each element's own variables' values before
    // every callback and a string element's text pointer: those bytes may change.
    constexpr std::pair<size_t, size_t> flags{offsetof(ElementHeader, flags), sizeof(uint32_t)};
    constexpr size_t value = sizeof(VarValue);
    size_t number = 0;
    for (ElementHeader* element : view.elements()) {
        const std::string what = "element " + std::to_string(++number);
        switch (element->kind) {
            case ELEMENT_STRING:
                add_record(what, element, sizeof(StringElement),
                           {flags,
                            {offsetof(StringElement, own_var.value), value},
                            {offsetof(StringElement, second_var.value), value},
                            {offsetof(StringElement, third_var.value), value},
                            {offsetof(StringElement, text), sizeof(char*)}});
                break;
            case ELEMENT_ICON:
                add_record(what, element, sizeof(IconElement), {flags, {offsetof(IconElement, own_var.value), value}});
                break;
            case ELEMENT_SLIDER:
                add_record(what, element, sizeof(SliderElement),
                           {flags,
                            {offsetof(SliderElement, x_var.value), value},
                            {offsetof(SliderElement, y_var.value), value}});
                break;
            default: add_record(what, element, sizeof(StaticImageElement), {flags}); break;
        }
        if (element->children != nullptr) {
            size_t count = 0;
            while (element->children[count] != nullptr) ++count;
            add_record(what + "'s child list", element->children, (count + 1) * sizeof(ElementHeader*));
        }
        if (element->fault_list != nullptr) add_record(what + "'s fault block", element->fault_list, 12);
    }
    number = 0;
    for (MouseRect* rect : view.mouse_records()) {
        add_record("mouse record " + std::to_string(++number), rect, sizeof(MouseRect));
    }
}

void ModuleHarness::wrap_text_callbacks() {
    const GaugeView& view = gauge_->module_view();
    for (size_t i = 0; i < view.elements().size(); ++i) {
        ElementHeader* element = view.elements()[i];
        if (element->kind != ELEMENT_STRING) continue;
        auto* string = reinterpret_cast<StringElement*>(element);
        if (string->callback == nullptr) continue;
        wrapped_texts.push_back({string, string->callback});
        string->callback = guarded_text_callback;
    }
    // Patch every element copy: the wrapper stands where the loaded record held the callback.
    for (RecordCopy& copy : records_) {
        for (const WrappedText& wrapped : wrapped_texts) {
            if (copy.at != reinterpret_cast<const uint8_t*>(wrapped.element)) continue;
            StringCallback wrapper = guarded_text_callback;
            std::memcpy(copy.bytes.data() + offsetof(StringElement, callback), &wrapper, sizeof wrapper);
        }
    }
}

void ModuleHarness::fail(const std::string& what) const {
    throw FuzzFailure(rules_.module_file + ": " + what);
}

void ModuleHarness::note_pre_draw() {
    if (!reset_done_) {
        reset_done_ = true;
        switch_on_ = false;
    }
}

void ModuleHarness::frame() {
    VariableStore& variables = session_->variables();
    // What this frame's pre-update reads; nothing changes the store within the frame.
    const double supply = variables.number(SUPPLY_VARIABLE);
    const double cross_track = variables.number(CROSS_TRACK_VARIABLE);
    const bool switch_on = switch_on_;
    session_->run_frame();
    note_pre_draw();
    ++frames_this_input_;
    check_frame(supply, cross_track, switch_on);
    check_records();
}

void ModuleHarness::click(int32_t x, int32_t y, uint32_t event_class) {
    const ClickOutcome outcome = session_->driver().click(x, y, event_class);
    if (outcome.handled && *outcome.area == power_on_area_) switch_on_ = true;
    if (outcome.handled && *outcome.area == power_off_area_) switch_on_ = false;
    check_records();
}

void ModuleHarness::service(int32_t id) {
    session_->driver().service(id);
    if (id == SERVICE_PRE_DRAW) note_pre_draw();
    check_records();
}

void ModuleHarness::run(std::span<const uint8_t> bytes) {
    FuzzInput in(bytes);
    VariableStore& variables = session_->variables();
    const Catalogue& catalogue = variables.catalogue();
    static const std::vector<uint32_t> numbers = ids_of_type(catalogue, VariableType::number);
    static const std::vector<uint32_t> integers = ids_of_type(catalogue, VariableType::integer);
    static const std::vector<uint32_t> texts = ids_of_type(catalogue, VariableType::text);
    const std::vector<MouseAreaRecord>& areas = session_->records().mouse_areas;
    frames_this_input_ = 0;

    while (!in.empty() && frames_this_input_ < max_frames_per_input) {
        switch (in.pick(10)) {
            case 0: {
                const uint32_t id = numbers[in.pick(numbers.size())];
                variables.set_number(id, pick_number(in));
                break;
            }
            case 1: {
                const uint32_t id = integers[in.pick(integers.size())];
                variables.set_integer(id, pick_integer(in));
                break;
            }
            case 2: {
                const uint32_t id = texts[in.pick(texts.size())];
                if (in.pick(8) == 0) variables.set_null_text(id);
                else variables.set_text(id, pick_text(in));
                break;
            }
            case 3: variables.clear(catalogue.variables()[in.pick(catalogue.variables().size())].id); break;
            case 4: {
                const auto [x, y] = FrameDriver::middle_of(areas[in.pick(areas.size())]);
                click(x, y, CLICK_LEFT_SINGLE);
                break;
            }
            case 5: {
                // Any point: anywhere at all, or on and beside an area's edges.
                int32_t x, y;
                if (in.byte() & 1) {
                    x = in.i32();
                    y = in.i32();
                } else {
                    const MouseAreaRecord& area = areas[in.pick(areas.size())];
                    x = area.x + static_cast<int32_t>(in.pick(3)) - 1 + ((in.byte() & 1) ? area.width : 0);
                    y = area.y + static_cast<int32_t>(in.pick(3)) - 1 + ((in.byte() & 1) ? area.height : 0);
                }
                click(x, y, (in.byte() & 7) != 0 ? CLICK_LEFT_SINGLE : in.u32());
                break;
            }
            case 6: service((in.byte() & 1) ? pick_from(in, special_services) : in.i32()); break;
            case 7:
                for (size_t n = 1 + in.pick(4); n > 0; --n) frame();
                break;
            case 8: {
                // The clocks on: the tick at 18 a second, and the seconds.
                const size_t ticks = 1 + in.pick(60);
                for (size_t n = 0; n < ticks && frames_this_input_ < max_frames_per_input; ++n) {
                    variables.set_number(TICK_VARIABLE, variables.number(TICK_VARIABLE) + 1.0);
                    variables.set_number(SECONDS_VARIABLE, variables.number(SECONDS_VARIABLE) + 1.0 / 18.0);
                    frame();
                }
                break;
            }
            default:
                // Supplied and switched on, the way most states are reached.
                variables.set_number(SUPPLY_VARIABLE, 1.0);
                frame();
                click(rules_.power_on.x, rules_.power_on.y, CLICK_LEFT_SINGLE);
                frame();
                break;
        }
        if (!text_fault.empty()) fail(std::exchange(text_fault, {}));
    }
    frame();
    if (!text_fault.empty()) fail(std::exchange(text_fault, {}));
}

void ModuleHarness::check_records() const {
    for (const RecordCopy& copy : records_) {
        for (const auto& [offset, length] : copy.compared) {
            if (std::memcmp(copy.at + offset, copy.bytes.data() + offset, length) == 0) continue;
            size_t byte = offset;
            while (copy.at[byte] == copy.bytes[byte]) ++byte;
            fail(copy.what + " changed at byte " + std::to_string(byte));
        }
    }
    const GaugeView& view = gauge_->module_view();
    for (size_t i = 0; i < view.elements().size(); ++i) {
        const uint32_t changed = view.elements()[i]->flags ^ load_flags_[i];
        if ((changed & ~(ELEMENT_LIT | ELEMENT_HIDDEN)) != 0) {
            fail("element " + std::to_string(i + 1) +
                 "'s flags changed beyond the lit and hidden bits: " + std::to_string(view.elements()[i]->flags));
        }
    }
}

void ModuleHarness::check_frame(double supply, double cross_track, bool switch_on) const {
    const std::vector<ElementRecord>& elements = session_->records().elements;
    const std::vector<ElementState>& states = gauge_->elements();
    const bool unpowered = rules_.supply_off(supply) || !switch_on;
    for (size_t i = 0; i < elements.size(); ++i) {
        const ElementRecord& element = elements[i];
        const ElementState& state = states[i];
        auto what = [i] { return "element " + std::to_string(i + 1); };
        switch (element.kind) {
            case ELEMENT_STRING:
                if (std::memchr(state.text.data(), '\0', state.text.size()) == nullptr)
                    fail(what() + ": text unterminated");
                if (unpowered && !state.hidden()) {
                    fail(what() + " shown while unpowered (supply " + format_double(supply) + ", switch " +
                         (switch_on ? "on" : "off") + "): " + quote_text(state.text_view()));
                }
                break;
            case ELEMENT_ICON:
                if (!(state.value >= 0.0 && state.value <= element.frame_count - 1.0 &&
                      state.value == std::trunc(state.value))) {
                    fail(what() + ": frame " + format_double(state.value) + " of " +
                         std::to_string(element.frame_count));
                }
                break;
            case ELEMENT_SLIDER:
                if (rules_.slider_pinned && !std::isnan(cross_track) && !(state.value >= -5.0 && state.value <= 5.0)) {
                    fail(what() + ": x result " + format_double(state.value) + " for cross-track " +
                         format_double(cross_track));
                }
                break;
            default: break;
        }
    }
    for (size_t number : rules_.always_hidden) {
        if (!states.at(number - 1).hidden()) fail("element " + std::to_string(number) + " shown");
    }
}

}  // namespace panel::fuzz
