// FlightGear's datagrams from a UDP socket (POSIX sockets), read without blocking at each
// panel update.
#pragma once

#include <string>
#include <vector>

#include "datagram_feed.h"

namespace panel::live {

class UdpReceiver : public DatagramFeed {
public:
    // Binds HOST:PORT (port 0: any free one). Throws std::runtime_error with one line when it
    // cannot.
    explicit UdpReceiver(const std::string& listen);
    ~UdpReceiver() override;
    UdpReceiver(const UdpReceiver&) = delete;
    UdpReceiver& operator=(const UdpReceiver&) = delete;

    // Every datagram waiting in the socket, up to a few thousand a poll.
    size_t poll(double frame_seconds, std::vector<std::string>& into) override;
    double now() const override;
    std::string where() const override { return "listening on " + listen_; }
    size_t lost() const override { return lost_; }

    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
    std::string listen_;
    std::string buffer_;
    size_t lost_ = 0;
};

}  // namespace panel::live
