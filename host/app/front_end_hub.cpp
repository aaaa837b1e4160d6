#include "front_end_hub.h"

#include <algorithm>
#include <cstdio>

namespace panel::app {
namespace {

using frontend::CursorShape;
using frontend::InputEvent;

}  // namespace

controls::PanelControls panel_controls(const Panel& panel) {
    std::vector<controls::GaugeControls> gauges;
    for (size_t i = 0; i < panel.size(); ++i) {
        const GaugeRecords& records = panel.at(i).gauge->records();
        gauges.push_back({records.name, records.mouse_areas});
    }
    return controls::PanelControls(std::move(gauges));
}

FrontEndHub::FrontEndHub(Panel& panel, Flight& flight, const PanelPicture& picture,
                         const controls::PanelControls& controls)
    : panel_(panel), flight_(flight), picture_(picture), controls_(controls) {}

void FrontEndHub::detach(frontend::FrontEnd& front_end) {
    front_ends_.erase(std::remove(front_ends_.begin(), front_ends_.end(), &front_end), front_ends_.end());
}

bool FrontEndHub::wants_pictures() const {
    return std::any_of(front_ends_.begin(), front_ends_.end(),
                       [](const frontend::FrontEnd* front_end) { return front_end->capabilities().pictures; });
}

bool FrontEndHub::wants_frame_picture() const {
    return std::any_of(front_ends_.begin(), front_ends_.end(), [](const frontend::FrontEnd* front_end) {
        const frontend::Capabilities can = front_end->capabilities();
        return can.pictures && !can.own_pictures;
    });
}

void FrontEndHub::show(const frontend::FinishedFrame& frame) {
    for (frontend::FrontEnd* front_end : front_ends_) front_end->show(frame);
}

std::vector<InputEvent> FrontEndHub::take_input() {
    for (frontend::FrontEnd* front_end : front_ends_) front_end->poll(input_);
    input_.take(taken_);
    std::vector<InputEvent> rest;
    for (InputEvent& event : taken_) {
        if (event.kind == InputEvent::Kind::key || event.kind == InputEvent::Kind::close)
            rest.push_back(std::move(event));
        else work(event);
    }
    return rest;
}

void FrontEndHub::work(const InputEvent& event) {
    const controls::Clicker click = [this](size_t gauge, int32_t x, int32_t y) { flight_.click(gauge, x, y); };
    switch (event.kind) {
        case InputEvent::Kind::click:
            if (auto point = picture_.gauge_at(event.x, event.y)) flight_.click(point->gauge, point->x, point->y);
            break;
        case InputEvent::Kind::wheel:
            // A notch is one click on the ring's right-hand (up) or left-hand (down) half.
            if (auto point = picture_.gauge_at(event.x, event.y)) {
                if (auto area = panel_.at(point->gauge).driver->mouse().area_at(point->x, point->y)) {
                    controls_.turn_at(point->gauge, *area, event.notches, click);
                }
            }
            break;
        case InputEvent::Kind::hover: hover(event); break;
        case InputEvent::Kind::note:
            problem_ = event.control;
            std::fprintf(stderr, "%s\n", event.control.c_str());
            break;
        case InputEvent::Kind::press:
        case InputEvent::Kind::turn: {
            const controls::PanelControls::Found found = controls_.find(event.control);
            if (!found.control) {
                problem_ = found.problem;
                break;
            }
            if (event.kind == InputEvent::Kind::press) controls_.press(*found.control, click);
            else controls_.turn(*found.control, event.notches, click);
            break;
        }
        default: break;
    }
}

void FrontEndHub::hover(const InputEvent& event) {
    if (!event.from || std::find(front_ends_.begin(), front_ends_.end(), event.from) == front_ends_.end()) return;
    CursorShape shape = CursorShape::arrow;
    if (auto point = picture_.gauge_at(event.x, event.y)) {
        if (auto cursor = panel_.at(point->gauge).driver->mouse().cursor_at(point->x, point->y)) {
            if (*cursor == CURSOR_RIGHT) shape = CursorShape::turn_right;
            else if (*cursor == CURSOR_LEFT) shape = CursorShape::turn_left;
            else if (*cursor == CURSOR_PUSH) shape = CursorShape::push;
        }
    }
    event.from->set_cursor(shape);
}

}  // namespace panel::app
