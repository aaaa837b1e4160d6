// The bridge's side of the exchange (protocol.h): one gauge module loaded into this process,
// served to a host over a pair of byte streams until the host says quit or closes its end.
// Plain C++ over C streams, so that the Windows bridge program and a native stand-in for the
// tests share it.
#pragma once

#include <cstdio>
#include <filesystem>
#include <vector>

namespace panel::bridge {

class BridgeServer {
public:
    // `in` and `out` must be binary streams.
    BridgeServer(std::FILE* in, std::FILE* out) : in_(in), out_(out) {}

    // Loads `module` and says `ready`, or `failed` when it cannot be used; then answers every
    // request. Returns the exit status: 0 when the host ended the exchange, 1 for a module that
    // cannot be loaded, 2 for a stream that broke off or stopped making sense.
    int run(const std::filesystem::path& module);

    // Every answer after `ready` is rubbish: for testing how a host takes a bridge gone wrong.
    void answer_garbage() { garbage_ = true; }

private:
    bool send(const std::vector<uint8_t>& bytes);

    std::FILE* in_;
    std::FILE* out_;
    bool garbage_ = false;
};

}  // namespace panel::bridge
