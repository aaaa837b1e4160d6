#include "udp_receiver.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "datagram.h"
#include "socket_address.h"

namespace panel::live {
namespace {

// Bounds the work of one poll however fast the datagrams come; the rest wait for the next.
constexpr size_t read_per_poll = 4096;

}  // namespace

UdpReceiver::UdpReceiver(const std::string& listen) : listen_(listen), buffer_(65536, '\0') {
    const SocketAddress address = resolve_address(listen, "--listen", SOCK_DGRAM);
    fd_ = socket(address.address.ss_family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        throw std::runtime_error("--listen " + listen + ": cannot open a socket (" + std::strerror(errno) + ")");
    if (bind(fd_, reinterpret_cast<const sockaddr*>(&address.address), address.length) != 0) {
        const std::string why = std::strerror(errno);
        close(fd_);
        throw std::runtime_error("--listen " + listen + ": cannot listen there (" + why + ")");
    }
    // Room for a frame's backlog of a flood, where the system allows it; what overflows is counted.
    const int buffer_bytes = 1 << 20, yes = 1;
    setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &buffer_bytes, sizeof buffer_bytes);
    setsockopt(fd_, SOL_SOCKET, SO_RXQ_OVFL, &yes, sizeof yes);
    port_ = bound_port(fd_);
    if (listen_.ends_with(":0")) listen_ = listen_.substr(0, listen_.size() - 1) + std::to_string(port_);
}

UdpReceiver::~UdpReceiver() {
    if (fd_ >= 0) close(fd_);
}

size_t UdpReceiver::poll(double, std::vector<std::string>& into) {
    size_t arrived = 0;
    for (; arrived < read_per_poll; ++arrived) {
        iovec data{.iov_base = buffer_.data(), .iov_len = buffer_.size()};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(uint32_t))];
        msghdr message{};
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        // MSG_TRUNC gives the real length of one too long for the buffer.
        const ssize_t length = recvmsg(fd_, &message, MSG_TRUNC);
        if (length < 0) break;  // EAGAIN: nothing more waiting (or an error, tried again next frame)
        for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr; header = CMSG_NXTHDR(&message, header)) {
            if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SO_RXQ_OVFL) continue;
            uint32_t dropped = 0;  // by the system since the socket was opened
            std::memcpy(&dropped, CMSG_DATA(header), sizeof dropped);
            lost_ = dropped;
        }
        // One longer than the parser takes is handed on cut just past that length, to be refused
        // for it without the memory of a backlog of such.
        const size_t kept = std::min(static_cast<size_t>(length), max_datagram_bytes + 1);
        into.emplace_back(buffer_.data(), kept);
    }
    return arrived;
}

double UdpReceiver::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace panel::live
