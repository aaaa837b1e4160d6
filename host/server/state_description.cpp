#include "state_description.h"

#include <nlohmann/json.hpp>

#include "windows1252.h"

namespace panel::server {

using nlohmann::json;

std::string describe_state(const frontend::FinishedFrame& frame, const VariableStore* variables) {
    json gauges = json::array();
    for (const frontend::GaugeFrame& gauge : frame.gauges) {
        json elements = json::array();
        if (gauge.elements) {
            for (const ElementState& element : *gauge.elements) {
                elements.push_back({{"value", element.value},
                                    {"y_value", element.y_value},
                                    {"text", windows1252_to_utf8(element.text_view())},
                                    {"hidden", element.hidden()},
                                    {"lit", element.lit()}});
            }
        }
        gauges.push_back({{"name", gauge.name}, {"elements", std::move(elements)}});
    }
    json values = json::object();
    if (variables) {
        for (const VariableInfo& info : variables->catalogue().variables()) {
            json entry{{"unit", info.unit}};
            switch (info.type) {
                case VariableType::number: entry["value"] = variables->number(info.id); break;
                case VariableType::integer: entry["value"] = variables->integer(info.id); break;
                case VariableType::text: {
                    const std::optional<std::string_view> text = variables->text(info.id);
                    entry["value"] = text ? json(windows1252_to_utf8(*text)) : json(nullptr);
                    break;
                }
            }
            values[std::string(info.name)] = std::move(entry);
        }
    }
    return json{{"frame", frame.number},       {"simulated_seconds", frame.simulated_seconds},
                {"paused", frame.paused},      {"status", frame.status},
                {"gauges", std::move(gauges)}, {"variables", std::move(values)}}
        .dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace panel::server
