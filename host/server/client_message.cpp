#include "client_message.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <nlohmann/json.hpp>
#include <utility>

namespace panel::server {
namespace {

using frontend::InputEvent;
using frontend::KeyAction;
using nlohmann::json;

constexpr std::array<std::pair<std::string_view, KeyAction>, 12> browser_keys{{
    {"heading_left", KeyAction::heading_left},
    {"heading_right", KeyAction::heading_right},
    {"climb", KeyAction::climb},
    {"descend", KeyAction::descend},
    {"faster_aircraft", KeyAction::faster_aircraft},
    {"slower_aircraft", KeyAction::slower_aircraft},
    {"pause", KeyAction::pause},
    {"faster_time", KeyAction::faster_time},
    {"slower_time", KeyAction::slower_time},
    {"supply", KeyAction::supply},
    {"night", KeyAction::night},
    {"help", KeyAction::help},
}};

struct Bad {
    std::string reason;
};

double coordinate(const json& value, double limit, const char* what) {
    if (!value.is_number()) throw Bad{std::string(what) + " is not a number"};
    const double number = value.get<double>();
    if (!std::isfinite(number) || number < 0.0 || number >= limit) throw Bad{std::string(what) + " is off the picture"};
    return number;
}

int notches(const json& value) {
    if (!value.is_number_integer()) throw Bad{"notches are not a whole number"};
    const auto count = value.get<int64_t>();
    if (count == 0 || count < -largest_turn || count > largest_turn) {
        throw Bad{"notches out of range (1 to " + std::to_string(largest_turn) + " either way)"};
    }
    return static_cast<int>(count);
}

std::string control_name(const json& value) {
    if (!value.is_string() || value.get_ref<const std::string&>().empty() ||
        value.get_ref<const std::string&>().size() > 64) {
        throw Bad{"a control's name is a text of 1 to 64 characters"};
    }
    return value.get<std::string>();
}

ClientMessage read(const json& message, int width, int height) {
    if (!message.is_object() || message.size() < 1 || message.size() > 2) throw Bad{"not a message object"};
    auto point = [&](const json& list, size_t size) {
        if (!list.is_array() || list.size() != size) throw Bad{"a point is [X, Y]"};
        return std::pair{coordinate(list[0], width, "x"), coordinate(list[1], height, "y")};
    };
    if (const auto click = message.find("click"); click != message.end() && message.size() == 1) {
        const auto [x, y] = point(*click, 2);
        return {InputEvent::click(x, y)};
    }
    if (const auto wheel = message.find("wheel"); wheel != message.end() && message.size() == 1) {
        const auto [x, y] = point(*wheel, 3);
        return {InputEvent::wheel(x, y, notches((*wheel)[2]))};
    }
    if (const auto press = message.find("press"); press != message.end() && message.size() == 1) {
        return {InputEvent::press(control_name(*press))};
    }
    if (const auto turn = message.find("turn"); turn != message.end() && message.size() == 2) {
        const auto count = message.find("notches");
        if (count == message.end()) throw Bad{"a turn needs its notches"};
        return {InputEvent::turn(control_name(*turn), notches(*count))};
    }
    if (const auto key = message.find("key"); key != message.end() && message.size() == 1) {
        if (!key->is_string()) throw Bad{"a key is named by a text"};
        const std::optional<KeyAction> action = key_named(key->get_ref<const std::string&>());
        if (!action) throw Bad{"no key '" + key->get<std::string>().substr(0, 32) + "'"};
        return {InputEvent::pressed(*action)};
    }
    if (const auto view = message.find("view"); view != message.end() && message.size() == 1) {
        if (!view->is_object()) throw Bad{"a view is an object"};
        const auto night = view->find("night");
        const auto density = view->find("density");
        const size_t fields = 1 + (density != view->end() ? 1 : 0);
        if (view->size() != fields || night == view->end() || !night->is_boolean() ||
            (density != view->end() && !density->is_number()))
            throw Bad{"a view is {\"night\": BOOL} or {\"night\": BOOL, \"density\": NUMBER}"};
        View wanted{.night = night->get<bool>()};
        if (density != view->end()) {
            const double asked = density->get<double>();
            if (!(asked > 0.0)) throw Bad{"a view's density is above 0"};
            wanted.density = frontend::density_in_halves(asked, largest_density);
        }
        return {wanted};
    }
    throw Bad{"unknown message"};
}

}  // namespace

std::variant<ClientMessage, Refusal> read_client_message(std::string_view text, int width, int height) {
    const json message = json::parse(text, nullptr, false);
    if (message.is_discarded()) return Refusal{"not JSON"};
    try {
        return read(message, width, height);
    } catch (const Bad& bad) {
        return Refusal{bad.reason};
    }
}

std::optional<KeyAction> key_named(std::string_view name) {
    for (const auto& [key_name, action] : browser_keys) {
        if (key_name == name) return action;
    }
    return std::nullopt;
}

}  // namespace panel::server
