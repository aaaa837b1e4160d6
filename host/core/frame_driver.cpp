#include "frame_driver.h"

namespace panel {

FrameDriver::FrameDriver(const GaugeView& view, const VariableStore& variables, EventLog& log)
    : view_(view), variables_(variables), log_(log), results_(view.elements().size()) {
    for (ElementHeader* element : view.elements()) {
        texts_.push_back(element->kind == ELEMENT_STRING ? std::make_unique<TextBuffer>() : nullptr);
    }
}

void FrameDriver::run_frame() {
    call_gauge(SERVICE_PRE_UPDATE);
    update_elements();
    call_gauge(SERVICE_PRE_DRAW);
}

void FrameDriver::call_gauge(int32_t service_id) {
    GaugeHeader& header = view_.header();
    if (header.gauge_callback == nullptr) return;
    ServiceScope scope(context());
    header.gauge_callback(&header, service_id, 0);
}

void FrameDriver::update_elements() {
    ServiceScope scope(context());
    for (size_t index = 0; index < view_.elements().size(); ++index) update(index);
}

const char* FrameDriver::text(size_t index) const {
    return texts_[index] ? texts_[index]->data() : "";
}

void FrameDriver::update(size_t index) {
    ElementHeader* element = view_.elements()[index];
    Result& result = results_[index];
    switch (element->kind) {
        case ELEMENT_STRING: {
            auto* string = reinterpret_cast<StringElement*>(element);
            variables_.fill(string->own_var);
            variables_.fill(string->second_var);
            variables_.fill(string->third_var);
            TextBuffer& buffer = *texts_[index];
            buffer.fill('\0');
            string->text = buffer.data();
            if (string->callback) result.value = string->callback(string);
            buffer.back() = '\0';  // whatever the gauge wrote, the host reads a bounded text
            break;
        }
        case ELEMENT_ICON: {
            auto* icon = reinterpret_cast<IconElement*>(element);
            variables_.fill(icon->own_var);
            if (icon->callback) result.value = icon->callback(icon);
            break;
        }
        case ELEMENT_SLIDER: {
            auto* slider = reinterpret_cast<SliderElement*>(element);
            variables_.fill(slider->x_var);
            variables_.fill(slider->y_var);
            if (slider->x_callback) result.value = slider->x_callback(slider);
            if (slider->y_callback) result.y_value = slider->y_callback(slider);
            break;
        }
        default:
            break;
    }
}

}  // namespace panel
