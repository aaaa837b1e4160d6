// A native stand-in for panel_bridge.exe: the same serving loop over standard input and
// output, loading a native module, so that the host's side of the bridge is tested (and
// sanitized) without wine.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bridge_server.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    panel::bridge::BridgeServer server(stdin, stdout);
    const char* garbage = std::getenv("PANEL_BRIDGE_GARBAGE");
    if (garbage != nullptr && std::strcmp(garbage, "1") == 0) server.answer_garbage();
    return server.run(argv[1]);
}
