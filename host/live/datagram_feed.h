// Where the datagrams of a live session come from: FlightGear's socket or a recording of it.
#pragma once

#include <string>
#include <vector>

namespace panel::live {

class DatagramFeed {
public:
    virtual ~DatagramFeed() = default;

    // Appends the datagrams that arrived since the last call, oldest first, once the panel's
    // time has moved on by `frame_seconds` (of a huge backlog, a bounded number; the rest come
    // at the next calls). Returns how many arrived. Never blocks.
    virtual size_t poll(double frame_seconds, std::vector<std::string>& into) = 0;
    // The feed's clock in seconds, which staleness is measured by: the wall clock for a socket,
    // the recording's own for a replay.
    virtual double now() const = 0;
    // "listening on 127.0.0.1:5500", "replaying FILE": for the status line.
    virtual std::string where() const = 0;
    // Datagrams that came but were dropped unread, the socket's buffer full: a flood faster
    // than the panel reads.
    virtual size_t lost() const { return 0; }
    // A recording played to its end; a socket never finishes.
    virtual bool finished() const { return false; }
    // What the feed has to say since the last call, one line each: a recording's odd line.
    virtual void take_notes(std::vector<std::string>&) {}
};

}  // namespace panel::live
