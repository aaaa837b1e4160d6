#include "event_writes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "simulator_units.h"

namespace panel::live {
namespace {

// The GPS's active waypoint sits at GPS/wp/wp[1]/ID in FlightGear.
constexpr std::string_view waypoint_id_suffix = "/wp/wp[1]/ID";

std::string number(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string node_of(const Protocol& protocol, std::string_view chunk) {
    const int index = protocol.chunk_index(chunk);
    return index < 0 ? std::string() : protocol.chunks[index].node;
}

std::string mhz(int hundredths) {
    return number("%.2f", hundredths / 100.0);
}

constexpr EventRow rows[] = {
    {"baro_up", "set the altimeter setting (hPa) one up",
     [](EventWrites& w, const LiveVariables& v, std::vector<PropertyWrite>& out) { return w.baro_step(v, 1.0, out); }},
    {"baro_down", "set the altimeter setting (hPa) one down",
     [](EventWrites& w, const LiveVariables& v, std::vector<PropertyWrite>& out) { return w.baro_step(v, -1.0, out); }},
    {"dme_frequency_select",
     "start a selection; ending it points the DME's frequency source at its own frequency and sets that",
     [](EventWrites& w, const LiveVariables&, std::vector<PropertyWrite>& out) { return w.dme_select(out); }},
    {"dme_mhz_up", "nothing: the selection is the panel's own until it is tuned",
     [](EventWrites& w, const LiveVariables&, std::vector<PropertyWrite>&) { return w.dme_step(1, 0); }},
    {"dme_mhz_down", "nothing: the selection is the panel's own until it is tuned",
     [](EventWrites& w, const LiveVariables&, std::vector<PropertyWrite>&) { return w.dme_step(-1, 0); }},
    {"dme_khz_up", "nothing: the selection is the panel's own until it is tuned",
     [](EventWrites& w, const LiveVariables&, std::vector<PropertyWrite>&) { return w.dme_step(0, 1); }},
    {"dme_khz_down", "nothing: the selection is the panel's own until it is tuned",
     [](EventWrites& w, const LiveVariables&, std::vector<PropertyWrite>&) { return w.dme_step(0, -1); }},
    {"gps_direct_to",
     "set the GPS's scratch ident, latitude and longitude to its active waypoint, then its command to direct",
     [](EventWrites& w, const LiveVariables& v, std::vector<PropertyWrite>& out) { return w.direct_to(v, out); }},
};

}  // namespace

std::span<const EventRow> event_rows() {
    return rows;
}

EventWrites::EventWrites(const Protocol& protocol, const Catalogue& catalogue)
    : catalogue_(catalogue),
      baro_path_(node_of(protocol, "altimeter-setting-hpa")),
      dme_path_(node_of(protocol, "dme-frequency-mhz")),
      baro_id_(catalogue.variable_id("baro")),
      dme_frequency_id_(catalogue.variable_id("dme_frequency")),
      dme_set_frequency_id_(catalogue.variable_id("dme_set_frequency")) {
    if (const size_t slash = dme_path_.rfind('/'); slash != std::string::npos && slash > 0) {
        dme_source_path_ = dme_path_.substr(0, slash) + "/source";
    }
    const std::string waypoint = node_of(protocol, "wp-id");
    if (waypoint.ends_with(waypoint_id_suffix) && waypoint.size() > waypoint_id_suffix.size()) {
        gps_path_ = waypoint.substr(0, waypoint.size() - waypoint_id_suffix.size());
    }
}

EventWrites::Outcome EventWrites::carry_out(uint32_t event_id, const LiveVariables& values, double now) {
    now_ = now;
    Outcome outcome;
    const KeyEventInfo* info = catalogue_.event(event_id);
    if (info == nullptr) return outcome;
    for (const EventRow& row : rows) {
        if (row.event != info->name) continue;
        outcome.known = true;
        outcome.problem = row.carry_out(*this, values, outcome.writes);
        if (!outcome.problem.empty()) outcome.writes.clear();
        return outcome;
    }
    return outcome;
}

std::string EventWrites::baro_step(const LiveVariables& values, double step, std::vector<PropertyWrite>& out) {
    if (baro_path_.empty()) return "the protocol has no chunk altimeter-setting-hpa";
    const std::optional<double> reported = values.number("altimeter-setting-hpa");
    if (!reported && !baro_written_) return "no altimeter setting received yet";
    // Steps made before FlightGear reports the last one add up; kept to the range the
    // datagrams are read in, or FlightGear's report of it would be refused.
    const double from = baro_written_ ? baro_written_->value : *reported;
    const ChunkMapping& row = *chunk_mapping("altimeter-setting-hpa");
    const double setting = std::clamp(std::round(from) + step, std::ceil(row.low), std::floor(row.high));
    baro_written_ = Pending{setting, now_ + pending_seconds};
    out.push_back({baro_path_, number("%.2f", setting)});
    return "";
}

std::string EventWrites::dme_select(std::vector<PropertyWrite>& out) {
    if (dme_path_.empty()) return "the protocol has no chunk dme-frequency-mhz";
    if (!dme_) return "no DME frequency received yet";
    if (!dme_->select()) return "";
    const int tuned = dme_->tuned();
    dme_written_ = Pending{static_cast<double>(tuned), now_ + pending_seconds};
    out.push_back({dme_source_path_, dme_path_});
    out.push_back({dme_path_, mhz(tuned)});
    return "";
}

std::string EventWrites::dme_step(int megahertz, int channels) {
    if (!dme_) return "no DME frequency received yet";
    if (!dme_->selecting()) return "";  // the radio ignores steps outside a selection
    dme_->step_megahertz(megahertz);
    dme_->step_fraction(channels);
    return "";
}

std::string EventWrites::direct_to(const LiveVariables& values, std::vector<PropertyWrite>& out) {
    if (gps_path_.empty()) return "the GPS is not known: chunk wp-id must read GPS/wp/wp[1]/ID";
    const std::optional<std::string> ident = values.text("wp-id");
    const std::optional<double> latitude = values.number("wp-latitude-deg");
    const std::optional<double> longitude = values.number("wp-longitude-deg");
    if (!ident || ident->empty() || !latitude || !longitude) return "FlightGear's GPS has no active waypoint";
    if (values.held("wp-latitude-deg") || values.held("wp-longitude-deg"))
        return "FlightGear's waypoint position is out of range";
    out.push_back({gps_path_ + "/scratch/ident", *ident});
    out.push_back({gps_path_ + "/scratch/latitude-deg", number("%.7f", *latitude)});
    out.push_back({gps_path_ + "/scratch/longitude-deg", number("%.7f", *longitude)});
    out.push_back({gps_path_ + "/command", "direct"});
    return "";
}

void EventWrites::fill(VariableStore& store, const LiveVariables& values, double now) {
    now_ = now;
    if (baro_written_) {
        const std::optional<double> reported = values.number("altimeter-setting-hpa");
        if (now > baro_written_->until || (reported && std::abs(*reported - baro_written_->value) < 0.01)) {
            baro_written_.reset();
        } else {
            store.set_number(baro_id_, baro_written_->value);
        }
    }
    const std::optional<double> reported_mhz = values.number("dme-frequency-mhz");
    const std::optional<int> reported = reported_mhz ? dme_channel(*reported_mhz) : std::nullopt;
    if (dme_written_ && (now > dme_written_->until || reported == static_cast<int>(dme_written_->value))) {
        dme_written_.reset();
    }
    if (reported && !dme_written_) {
        if (dme_) dme_->set_tuned(*reported);
        else dme_.emplace(*reported);
    }
    if (dme_) {
        store.set_integer(dme_frequency_id_, units::bcd_frequency(dme_->tuned()));
        store.set_integer(dme_set_frequency_id_,
                          units::bcd_frequency(dme_->selecting() ? dme_->selection() : dme_->tuned()));
    }
}

}  // namespace panel::live
