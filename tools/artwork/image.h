// Pictures as the generator hands them around: plain RGB pixels, row after row from the top.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace artwork {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
    uint32_t key() const { return static_cast<uint32_t>(r) << 16 | g << 8 | b; }
};

// Pure black: the host leaves such pixels undrawn.
constexpr Rgb TRANSPARENT{0, 0, 0};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Image() = default;
    Image(int w, int h, Rgb fill = TRANSPARENT) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    Rgb& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Rgb& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The part of `image` at x, y of the given size.
inline Image crop(const Image& image, int x, int y, int width, int height) {
    Image out(width, height);
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) out.at(col, row) = image.at(x + col, y + row);
    return out;
}

enum class Depth { Palette8, Rgb24 };

// One bitmap resource of a module.
struct Bitmap {
    int id = 0;
    Depth depth = Depth::Palette8;
    Image image;
    std::string caption;  // what it shows, for the contact sheet
};

}  // namespace artwork
