// panel_trace MODULE SCRIPT OUTPUT: loads one gauge module, runs the scripted session on it
// and writes the trace to OUTPUT. Built natively and for 32-bit Windows from this one source,
// so that the two traces of a session can be compared byte for byte.
#include <cstdio>
#include <exception>
#include <string>

#include "gauge_session.h"
#include "session_runner.h"
#include "session_script.h"

namespace {

// Whole files, in binary mode: no line-end translation on Windows.
bool read_file(const char* path, std::string& contents) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) contents.append(chunk, got);
    bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

bool write_file(const char* path, const std::string& contents) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    bool ok = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s MODULE SCRIPT OUTPUT\n", argv[0]);
        return 2;
    }
    std::string source;
    if (!read_file(argv[2], source)) {
        std::fprintf(stderr, "%s: cannot read\n", argv[2]);
        return 2;
    }
    std::string trace;
    try {
        auto steps = panel::trace::parse_script(source);
        panel::GaugeSession session(argv[1]);
        panel::trace::SessionRunner(session).run(steps, trace);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[2], error.what());
        return 2;
    }
    if (!write_file(argv[3], trace)) {
        std::fprintf(stderr, "%s: cannot write\n", argv[3]);
        return 2;
    }
    return 0;
}
