#include "bounded_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace panel {

std::string read_bounded_file(const std::filesystem::path& file, size_t largest, std::string_view what) {
    const std::string name = file.string();
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) throw FileReadError(name + ": cannot read (a folder)");
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw FileReadError(name + ": cannot read (" + (errno != 0 ? std::strerror(errno) : "cannot open") + ")");
    }
    std::string text;
    char chunk[65536];
    while (in) {
        in.read(chunk, sizeof chunk);
        text.append(chunk, static_cast<size_t>(in.gcount()));
        if (text.size() > largest) {
            const size_t mib = largest >> 20;
            throw FileReadError(name + ": more than " +
                                (mib > 0 ? std::to_string(mib) + " MiB" : std::to_string(largest) + " bytes") +
                                ", too large for " + std::string(what));
        }
    }
    if (in.bad()) throw FileReadError(name + ": cannot read (read error)");
    return text;
}

}  // namespace panel
