#include "live_source.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "simulator_units.h"

namespace panel::live {
namespace {

// Over this many seconds the receiving rate is measured.
constexpr double rate_window_seconds = 2.0;
// The log keeps this many lines of notes between two takes; the rest are counted.
constexpr size_t max_notes = 200;

}  // namespace

LiveSource::LiveSource(Protocol protocol, std::unique_ptr<DatagramFeed> feed, std::unique_ptr<PropertyClient> props,
                       const Catalogue& catalogue)
    : protocol_(std::move(protocol)),
      feed_(std::move(feed)),
      props_(std::move(props)),
      catalogue_(catalogue),
      parser_(protocol_),
      values_(protocol_, catalogue),
      writes_(protocol_, catalogue),
      tick_id_(catalogue.variable_id("tick")),
      seconds_id_(catalogue.variable_id("seconds")) {
    for (const std::string& line : values_.notes()) note(line);
}

void LiveSource::advance_frame() {
    ++frames_;
    arrived_.clear();
    const size_t count = feed_->poll(1.0 / units::updates_per_second, arrived_);
    const double now = feed_->now();
    for (size_t i = 0; i < count; ++i) arrivals_.push_back(now);
    if (count > 0 && !first_arrival_) first_arrival_ = now;
    while (!arrivals_.empty() && arrivals_.front() < now - rate_window_seconds) arrivals_.pop_front();
    take(arrived_);
    if (count > arrived_.size()) skipped_ += count - arrived_.size();
    std::vector<std::string> feed_notes;
    feed_->take_notes(feed_notes);
    for (std::string& line : feed_notes) note(std::move(line));

    const Link now_link = link();
    if (now_link != noted_link_) {
        if (now_link == Link::stale)
            note("FlightGear: stale: no datagram for " + std::to_string(static_cast<int>(stale_seconds)) +
                 " s; the supply drops");
        else if (now_link == Link::receiving) note("FlightGear: receiving (" + feed_->where() + ")");
        noted_link_ = now_link;
    }
    if (props_) {
        props_->pump();
        for (std::string& line : props_->take_notes()) note(std::move(line));
    }
}

// Every datagram is read, so that each malformed one is counted; the newest good one is taken.
void LiveSource::take(const std::vector<std::string>& datagrams) {
    size_t good = 0;
    for (const std::string& datagram : datagrams) {
        std::string problem = parser_.parse(datagram, parsed_);
        if (problem.empty()) {
            ++good;
            newest_.swap(parsed_);
            continue;
        }
        ++malformed_;
        if (problem != last_problem_) note("FlightGear: a malformed datagram (" + problem + "), ignored");
        last_problem_ = std::move(problem);
    }
    if (good == 0) return;
    skipped_ += good - 1;
    last_good_ = feed_->now();
    for (std::string& bad : values_.take(newest_)) {
        ++bad_values_;
        if (bad != last_bad_value_) note("FlightGear: a value out of range (" + bad + "); its last good value is kept");
        last_bad_value_ = std::move(bad);
    }
}

void LiveSource::fill(VariableStore& store) {
    const double now = feed_->now();
    values_.fill(store, link() == Link::receiving);
    writes_.fill(store, values_, now);
    store.set_number(tick_id_, static_cast<double>(frames_));
    store.set_number(seconds_id_, static_cast<double>(frames_) / units::updates_per_second);
}

bool LiveSource::key_event(const KeyEvent& event) {
    EventWrites::Outcome outcome = writes_.carry_out(event.id, values_, feed_->now());
    if (!outcome.known) return false;
    const std::string name = describe_event(catalogue_, event.id);
    if (!outcome.problem.empty()) {
        note(name + ": not carried out: " + outcome.problem);
        return true;
    }
    if (outcome.writes.empty()) return true;
    if (!props_) {
        note(name + ": not sent: no property server (--fgfs-props)");
        return true;
    }
    for (const PropertyWrite& write : outcome.writes) {
        if (props_->set(write.path, write.value)) note(name + ": set " + write.path + " " + write.value);
    }
    props_->pump();  // sent at once when the connection is up
    return true;
}

LiveSource::Link LiveSource::link() const {
    if (!last_good_) return Link::listening;
    return feed_->now() - *last_good_ > stale_seconds ? Link::stale : Link::receiving;
}

double LiveSource::rate() const {
    if (!first_arrival_ || arrivals_.empty()) return 0.0;
    const double span = std::min(rate_window_seconds, feed_->now() - *first_arrival_);
    return span > 0.0 ? static_cast<double>(arrivals_.size()) / span : 0.0;
}

std::string LiveSource::status() const {
    char text[512];
    const Link now = link();
    std::string line;
    switch (now) {
        case Link::listening: line = feed_->where(); break;
        case Link::receiving:
            std::snprintf(text, sizeof text, "receiving %.1f/s, %s", rate(), feed_->where().c_str());
            line = text;
            break;
        case Link::stale:
            std::snprintf(text, sizeof text, "stale: no datagram for %.0f s, %s", feed_->now() - *last_good_,
                          feed_->where().c_str());
            line = text;
            break;
    }
    if (malformed_ > 0) line += "  bad data: " + std::to_string(malformed_) + " malformed (" + last_problem_ + ")";
    if (bad_values_ > 0) line += "  bad values: " + std::to_string(bad_values_) + " (" + last_bad_value_ + ")";
    if (const size_t lost = feed_->lost(); lost > 0)
        line += "  lost: " + std::to_string(lost) + " (more than could be read)";
    line += props_ ? "  " + props_->describe() : "  no props";
    return line;
}

void LiveSource::note(std::string line) {
    if (notes_.size() < max_notes) notes_.push_back(std::move(line));
}

void LiveSource::take_notes(std::vector<std::string>& into) {
    for (std::string& line : notes_) into.push_back(std::move(line));
    notes_.clear();
}

}  // namespace panel::live
