// What the renderer reports: a file or gauge that cannot be drawn, a font that is not
// installed, a picture that cannot be written. The message is one line naming the file.
#pragma once

#include <stdexcept>
#include <string>

#include "text_escape.h"

namespace panel::render {

class RenderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace panel::render
