// What FlightGear would send for the simulated world's state: each chunk of the protocol, by
// name, from the world's figures. The recording in the repository is made with it, and the
// tests compare what the live source makes of such datagrams with what the world fills itself.
#pragma once

#include <string>

#include "generic_protocol.h"
#include "world.h"

namespace panel::live::fakes {

struct ChunkState {
    double number = 0.0;
    std::string text;
};

// Throws std::invalid_argument for a chunk name it does not know.
ChunkState world_chunk(const sim::World& world, const std::string& chunk, bool direct_to);

// One datagram of `protocol` for the world's state, with its line separator.
std::string world_datagram(const sim::World& world, const Protocol& protocol, bool direct_to);

}  // namespace panel::live::fakes
