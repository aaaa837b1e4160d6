#include "in_process_gauge.h"

#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#include "record_dump.h"
#include "record_fields.h"

namespace panel {
namespace {

// The record field a host field is read from for an element of `kind`, by the names of
// PANEL_ELEMENT_RECORD_FIELDS; nullptr where that kind has none.
struct FieldSources {
    const records::Field* every;
    const records::Field* string;
    const records::Field* icon;
    const records::Field* slider;

    constexpr const records::Field* for_kind(uint32_t kind) const {
        if (every != nullptr) return every;
        switch (kind) {
            case ELEMENT_STRING: return string;
            case ELEMENT_ICON: return icon;
            case ELEMENT_SLIDER: return slider;
            default: return nullptr;
        }
    }
};

consteval const records::Field* source(const records::Record& record, std::string_view name) {
    return name.empty() ? nullptr : &record.field(name);
}

// The kind of the record's field `name`, if the record has one by that name given.
struct MaybeKind {
    bool present = false;
    records::FieldKind kind{};
};
consteval MaybeKind kind_of(const records::Record& record, std::string_view name) {
    if (name.empty()) return {};
    return {true, record.field(name).kind};
}

// Whether a host field of type T can hold what a record field of that kind holds (nothing to
// hold where the record lacks it). Takes the kind, not a pointer into the tables: the sanitizer
// build's null checks make a pointer comparison no constant expression.
template <typename T>
constexpr bool holds(MaybeKind field) {
    using records::FieldKind;
    if (!field.present) return true;
    const FieldKind kind = field.kind;
    if constexpr (std::is_same_v<T, uint32_t>) {
        return kind == FieldKind::u32 || kind == FieldKind::hex || kind == FieldKind::var;
    } else if constexpr (std::is_same_v<T, int32_t>) {
        return kind == FieldKind::s32;
    } else if constexpr (std::is_same_v<T, double>) {
        return kind == FieldKind::f64;
    } else {
        return std::is_same_v<T, std::string> && kind == FieldKind::chars32;
    }
}

// The field at its place in this build's record; the loader has checked the whole record lies
// in the module.
void load(const char* record, const records::Field* field, uint32_t& into) {
    if (field == nullptr) return;
    // An embedded ModuleVar gives its id.
    constexpr size_t var_id = records::module_var.field("id").offset_native;
    const size_t at = field->offset_native + (field->kind == records::FieldKind::var ? var_id : 0);
    std::memcpy(&into, record + at, sizeof into);
}
void load(const char* record, const records::Field* field, int32_t& into) {
    if (field != nullptr) std::memcpy(&into, record + field->offset_native, sizeof into);
}
void load(const char* record, const records::Field* field, double& into) {
    if (field != nullptr) std::memcpy(&into, record + field->offset_native, sizeof into);
}
void load(const char* record, const records::Field* field, std::string& into) {
    if (field == nullptr) return;
    const char* text = record + field->offset_native;
    into.assign(text, strnlen(text, sizeof StringElement::font_name));
}

ElementRecord read_element(const ElementHeader& head) {
    ElementRecord record;
    const char* bytes = reinterpret_cast<const char*>(&head);
#define PANEL_READ_FIELD(member, every_kind, string_kind, icon_kind, slider_kind)                      \
    {                                                                                                  \
        constexpr FieldSources sources{                                                                \
            source(records::element_header, every_kind), source(records::string_element, string_kind), \
            source(records::icon_element, icon_kind), source(records::slider_element, slider_kind)};   \
        using Member = decltype(ElementRecord::member);                                                \
        static_assert(holds<Member>(kind_of(records::element_header, every_kind)) &&                   \
                          holds<Member>(kind_of(records::string_element, string_kind)) &&              \
                          holds<Member>(kind_of(records::icon_element, icon_kind)) &&                  \
                          holds<Member>(kind_of(records::slider_element, slider_kind)),                \
                      #member ": a record field it cannot hold");                                      \
        load(bytes, sources.for_kind(head.kind), record.member);                                       \
    }
    PANEL_ELEMENT_RECORD_FIELDS(PANEL_READ_FIELD)
#undef PANEL_READ_FIELD
    return record;
}

MouseAreaRecord read_area(const MouseRect& rect, int depth) {
    return {.x = rect.area_x,
            .y = rect.area_y,
            .width = rect.area_width,
            .height = rect.area_height,
            .cursor = rect.cursor,
            .help_id = rect.help_id,
            .event_flags = rect.event_flags,
            .event_id = rect.event_id,
            .has_handler = rect.handler != nullptr,
            .group_depth = depth};
}

}  // namespace

InProcessGauge::InProcessGauge(const std::filesystem::path& path, ModuleInstance instance)
    : module_(path, instance), view_(*module_.gauges().front(), module_.library().image(), module_.name()) {
    records_.module = module_.name();
    records_.name = view_.name();
    records_.size_value = view_.header().size_value;
    for (ElementHeader* element : view_.elements()) {
        records_.elements.push_back(read_element(*element));
        states_.push_back({.flags = element->flags});
        texts_.push_back(element->kind == ELEMENT_STRING ? std::make_unique<TextBuffer>() : nullptr);
    }
    for (size_t i = 0; i < view_.mouse_areas().size(); ++i) {
        records_.mouse_areas.push_back(read_area(*view_.mouse_areas()[i], view_.mouse_area_depths()[i]));
    }
}

InProcessGauge::~InProcessGauge() {
    if (!opened_) return;
    // Closed without a context: the module's deinit still runs; its service calls get nothing.
    ServiceContext nothing;
    ServiceScope scope(nothing);
    module_.call_deinit();
}

template <typename Call>
void InProcessGauge::serve(HostCalls calls, Call&& call) {
    ServiceContext context{&calls.variables, &calls.log, nullptr};
    {
        ServiceScope scope(context);
        call();
    }
    refresh_flags();
    if (context.failure != nullptr) throw HostError(module_.name() + ": " + context.failure);
}

void InProcessGauge::open(HostCalls calls) {
    if (opened_) return;
    opened_ = true;
    serve(calls, [&] { module_.call_init(); });
}

void InProcessGauge::close(HostCalls calls) {
    if (!opened_) return;
    opened_ = false;
    serve(calls, [&] { module_.call_deinit(); });
}

void InProcessGauge::call_gauge(int32_t service_id, HostCalls calls) {
    GaugeHeader& header = view_.header();
    if (header.gauge_callback == nullptr) return;
    serve(calls, [&] { header.gauge_callback(&header, service_id, 0); });
}

void InProcessGauge::update_elements(HostCalls calls) {
    serve(calls, [&] {
        for (size_t index = 0; index < states_.size(); ++index) update(index);
    });
}

void InProcessGauge::update(size_t index) {
    ElementHeader* element = view_.elements()[index];
    ElementState& state = states_[index];
    const VariableStore& variables = *ServiceScope::active()->variables;
    switch (element->kind) {
        case ELEMENT_STRING: {
            auto* string = reinterpret_cast<StringElement*>(element);
            variables.fill(string->own_var);
            variables.fill(string->second_var);
            variables.fill(string->third_var);
            TextBuffer& buffer = *texts_[index];
            buffer.fill('\0');
            string->text = buffer.data();
            if (string->callback) state.value = string->callback(string);
            buffer.back() = '\0';  // whatever the gauge wrote, the host reads a bounded text
            state.text = buffer;
            break;
        }
        case ELEMENT_ICON: {
            auto* icon = reinterpret_cast<IconElement*>(element);
            variables.fill(icon->own_var);
            if (icon->callback) state.value = icon->callback(icon);
            break;
        }
        case ELEMENT_SLIDER: {
            auto* slider = reinterpret_cast<SliderElement*>(element);
            variables.fill(slider->x_var);
            variables.fill(slider->y_var);
            if (slider->x_callback) state.value = slider->x_callback(slider);
            if (slider->y_callback) state.y_value = slider->y_callback(slider);
            break;
        }
        default: break;
    }
}

void InProcessGauge::click_area(size_t index, uint32_t event_class, int32_t x, int32_t y, HostCalls calls) {
    if (index >= view_.mouse_areas().size()) {
        throw HostError(module_.name() + ": no clickable area " + std::to_string(index + 1));
    }
    MouseRect* area = view_.mouse_areas()[index];
    if (area->handler == nullptr) return;
    ClickPoint point{x, y};
    serve(calls, [&] { area->handler(&point, event_class); });
}

void InProcessGauge::refresh_flags() {
    for (size_t i = 0; i < states_.size(); ++i) states_[i].flags = view_.elements()[i]->flags;
}

std::vector<std::string> InProcessGauge::record_lines() const {
    return dump_records(module_, view_);
}

}  // namespace panel
