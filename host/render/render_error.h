// What the renderer reports: a file or gauge that cannot be drawn, a font that is not
// installed, a picture that cannot be written. The message is one line naming the file.
#pragma once

#include <cinttypes>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace panel::render {

class RenderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A number as the messages write ids and addresses: "0x1A".
inline std::string hex_text(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%" PRIX64, value);
    return text;
}

}  // namespace panel::render
