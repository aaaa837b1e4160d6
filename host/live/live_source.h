// FlightGear as the source of the gauges' variables: the newest good datagram of each panel
// update mapped through the chunk table, the frame clock, and the link's state; the gauges' key
// events written back through the property server. No datagram for stale_seconds, and the
// supply drops as if the avionics were switched off; malformed datagrams are counted and
// ignored, and so are values out of range, each keeping its last good value.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "chunk_mapping.h"
#include "datagram.h"
#include "datagram_feed.h"
#include "event_writes.h"
#include "flight_source.h"
#include "generic_protocol.h"
#include "property_client.h"
#include "simulator_catalogue.h"

namespace panel::live {

class LiveSource : public FlightSource {
public:
    static constexpr double stale_seconds = 2.0;

    enum class Link { listening, receiving, stale };

    // `props` may be null: the key events that write to FlightGear are then noted, not sent.
    LiveSource(Protocol protocol, std::unique_ptr<DatagramFeed> feed, std::unique_ptr<PropertyClient> props,
               const Catalogue& catalogue = simulator_catalogue());
    // Its parts refer to its own protocol.
    LiveSource(const LiveSource&) = delete;
    LiveSource& operator=(const LiveSource&) = delete;

    void advance_frame() override;
    void fill(VariableStore& store) override;
    bool key_event(const KeyEvent& event) override;
    std::string status() const override;
    std::string_view name() const override { return "FlightGear"; }
    void take_notes(std::vector<std::string>& into) override;
    bool finished() const override { return feed_->finished(); }

    Link link() const;
    size_t malformed() const { return malformed_; }
    size_t skipped() const { return skipped_; }
    size_t bad_values() const { return bad_values_; }  // out of range, in datagrams taken
    size_t lost() const { return feed_->lost(); }
    double rate() const;  // datagrams a second lately
    const LiveVariables& values() const { return values_; }
    const Protocol& protocol() const { return protocol_; }

private:
    void take(const std::vector<std::string>& datagrams);
    void note(std::string line);

    Protocol protocol_;
    std::unique_ptr<DatagramFeed> feed_;
    std::unique_ptr<PropertyClient> props_;
    const Catalogue& catalogue_;
    DatagramParser parser_;
    LiveVariables values_;
    EventWrites writes_;
    std::vector<std::string> arrived_;
    std::vector<ChunkValue> parsed_, newest_;  // the datagram being read, the newest good one
    std::deque<double> arrivals_;              // feed times of the last few seconds' datagrams
    std::optional<double> first_arrival_, last_good_;
    Link noted_link_ = Link::listening;
    size_t malformed_ = 0, skipped_ = 0, bad_values_ = 0;
    std::string last_problem_, last_bad_value_;
    uint64_t frames_ = 0;
    std::vector<std::string> notes_;
    uint32_t tick_id_, seconds_id_;
};

}  // namespace panel::live
