// panel_bridge.exe MODULE.gau: runs one Windows gauge module for a panel host on another
// system, under wine, answering the host's requests on standard input and output
// (protocol.h). Messages about the bridge itself go to standard error, which the host keeps
// as the bridge's last words. Windows: binary mode for the standard streams.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bridge_server.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: panel_bridge.exe MODULE.gau (started by panelhost, which speaks to it on "
                     "standard input and output)\n");
        return 2;
    }
    _setmode(_fileno(stdin), _O_BINARY);
    // The answers get a stream of their own; whatever else writes to standard output (a
    // module's runtime, say) lands among the last words instead of inside a message.
    const int answers = _dup(_fileno(stdout));
    std::FILE* out = answers >= 0 ? _fdopen(answers, "wb") : nullptr;
    if (out == nullptr) {
        std::fprintf(stderr, "panel_bridge: cannot open its answer stream\n");
        return 2;
    }
    _setmode(answers, _O_BINARY);
    _dup2(_fileno(stderr), _fileno(stdout));
    panel::bridge::BridgeServer server(stdin, out);
    // Only the host's tests set this: a bridge that answers rubbish.
    const char* garbage = std::getenv("PANEL_BRIDGE_GARBAGE");
    if (garbage != nullptr && std::strcmp(garbage, "1") == 0) server.answer_garbage();
    return server.run(argv[1]);
}
