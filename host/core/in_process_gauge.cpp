#include "in_process_gauge.h"

#include <cstring>

#include "record_dump.h"

namespace panel {
namespace {

ElementRecord read_element(const ElementHeader& head) {
    ElementRecord record;
    record.kind = head.kind;
    record.resource_id = head.resource_id;
    record.x = head.x;
    record.y = head.y;
    record.flags = head.flags;
    switch (head.kind) {
        case ELEMENT_STRING: {
            const auto& string = reinterpret_cast<const StringElement&>(head);
            record.own_variable = string.own_var.id;
            record.box_width = string.box_width;
            record.box_height = string.box_height;
            record.text_color = string.text_color;
            record.color_b = string.color_b;
            record.color_c = string.color_c;
            record.font_name.assign(string.font_name, strnlen(string.font_name, sizeof string.font_name));
            record.font_weight = string.font_weight;
            record.font_charset = string.font_charset;
            break;
        }
        case ELEMENT_ICON: {
            const auto& icon = reinterpret_cast<const IconElement&>(head);
            record.own_variable = icon.own_var.id;
            record.frame_count = icon.frame_count;
            break;
        }
        case ELEMENT_SLIDER: {
            const auto& slider = reinterpret_cast<const SliderElement&>(head);
            record.own_variable = slider.x_var.id;
            record.x_scale = slider.x_scale;
            record.y_scale = slider.y_scale;
            break;
        }
        default:
            break;
    }
    return record;
}

MouseAreaRecord read_area(const MouseRect& rect, int depth) {
    return {rect.area_x,   rect.area_y,      rect.area_width, rect.area_height,     rect.cursor,
            rect.help_id,  rect.event_flags, rect.event_id,   rect.handler != nullptr, depth};
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
        default:
            break;
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
