// giflib encodes; frames are quantized with its median-cut GifQuantizeBuffer.
#include "gif_recorder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>

namespace panel::app {
namespace {

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

int append_bytes(GifFileType* gif, const GifByteType* bytes, int count) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + count);
    return count;
}

// giflib wants colour maps of a power of two entries.
std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> colour_map(const std::vector<uint8_t>& palette) {
    const int colours = static_cast<int>(palette.size() / 3);
    int size = 2;
    while (size < colours) size *= 2;
    std::vector<GifColorType> entries(size, GifColorType{0, 0, 0});
    for (int i = 0; i < colours; ++i) entries[i] = {palette[i * 3], palette[i * 3 + 1], palette[i * 3 + 2]};
    return {GifMakeMapObject(size, entries.data()), GifFreeMapObject};
}

void check(int result, const char* what) {
    if (result == GIF_ERROR) throw GifError(std::string("cannot encode the animation (") + what + ")");
}

}  // namespace

GifRecorder::GifRecorder(int width, int height, int delay_cs, size_t max_frames)
    : width_(width), height_(height), delay_cs_(delay_cs), max_frames_(std::max<size_t>(max_frames, 2)) {}

bool GifRecorder::due(double seconds) const {
    return frames_.empty() || seconds >= next_due_;
}

void GifRecorder::add(double seconds, const uint8_t* pixels, int stride) {
    const size_t count = static_cast<size_t>(width_) * height_;
    std::vector<GifByteType> red(count), green(count), blue(count);
    for (int y = 0; y < height_; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(pixels + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width_; ++x) {
            const size_t at = static_cast<size_t>(y) * width_ + x;
            red[at] = static_cast<GifByteType>(row[x] >> 16);
            green[at] = static_cast<GifByteType>(row[x] >> 8);
            blue[at] = static_cast<GifByteType>(row[x]);
        }
    }
    Frame frame;
    frame.indices.resize(count);
    int colours = 256;
    GifColorType map[256];
    if (GifQuantizeBuffer(width_, height_, &colours, red.data(), green.data(), blue.data(), frame.indices.data(),
                          map) == GIF_ERROR) {
        throw GifError("cannot reduce a frame of the animation to 256 colours");
    }
    for (int i = 0; i < colours; ++i)
        frame.palette.insert(frame.palette.end(), {map[i].Red, map[i].Green, map[i].Blue});
    frames_.push_back(std::move(frame));

    next_due_ = seconds + interval_;
    if (frames_.size() >= max_frames_) {
        // Keep every other frame and sample half as often from here on.
        std::vector<Frame> kept;
        for (size_t i = 0; i < frames_.size(); i += 2) kept.push_back(std::move(frames_[i]));
        frames_ = std::move(kept);
        interval_ *= 2;
        next_due_ = seconds + interval_;
    }
}

std::vector<uint8_t> GifRecorder::encode(const std::vector<const Frame*>& frames) const {
    std::vector<uint8_t> out;
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&out, append_bytes, &error));
    if (!gif) throw GifError("cannot start the animation");
    EGifSetGifVersion(gif.get(), true);
    auto global = colour_map(frames.front()->palette);
    check(EGifPutScreenDesc(gif.get(), width_, height_, 8, 0, global.get()), "screen");

    // Loop for ever.
    const GifByteType application[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    const GifByteType loop[] = {1, 0, 0};
    check(EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE), "loop");
    check(EGifPutExtensionBlock(gif.get(), sizeof application, application), "loop");
    check(EGifPutExtensionBlock(gif.get(), sizeof loop, loop), "loop");
    check(EGifPutExtensionTrailer(gif.get()), "loop");

    auto colour_at = [](const Frame& frame, size_t at) {
        const size_t index = frame.indices[at] * 3u;
        return uint32_t{frame.palette[index]} << 16 | uint32_t{frame.palette[index + 1]} << 8 |
               frame.palette[index + 2];
    };

    std::vector<GifPixelType> row(width_);
    for (size_t k = 0; k < frames.size(); ++k) {
        const Frame& frame = *frames[k];
        // The rectangle that differs from the frame before; the whole picture for the first.
        int left = 0, top = 0, right = width_ - 1, bottom = height_ - 1;
        if (k > 0) {
            left = width_, top = height_, right = -1, bottom = -1;
            for (int y = 0; y < height_; ++y) {
                for (int x = 0; x < width_; ++x) {
                    const size_t at = static_cast<size_t>(y) * width_ + x;
                    if (colour_at(frame, at) == colour_at(*frames[k - 1], at)) continue;
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
            }
            if (right < 0) left = top = right = bottom = 0;  // nothing changed: one pixel keeps the time
        }
        GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay_cs_, NO_TRANSPARENT_COLOR};
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        check(EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension), "timing");
        auto local = colour_map(frame.palette);
        check(EGifPutImageDesc(gif.get(), left, top, right - left + 1, bottom - top + 1, false,
                               k == 0 ? nullptr : local.get()),
              "frame");
        for (int y = top; y <= bottom; ++y) {
            std::memcpy(row.data(), frame.indices.data() + static_cast<size_t>(y) * width_ + left, right - left + 1);
            check(EGifPutLine(gif.get(), row.data(), right - left + 1), "pixels");
        }
    }
    GifFileType* raw = gif.release();
    if (EGifCloseFile(raw, &error) == GIF_ERROR) throw GifError("cannot finish the animation");
    return out;
}

size_t GifRecorder::write(const std::filesystem::path& path, size_t max_bytes) const {
    if (frames_.empty()) throw GifError(path.string() + ": no frame to write");
    std::vector<uint8_t> bytes;
    for (size_t step = 1;; ++step) {
        std::vector<const Frame*> chosen;
        for (size_t i = 0; i < frames_.size(); i += step) chosen.push_back(&frames_[i]);
        bytes = encode(chosen);
        if (bytes.size() <= max_bytes) break;
        if (chosen.size() == 1) {
            throw GifError(path.string() + ": even one frame takes " + std::to_string(bytes.size()) + " bytes, over " +
                           std::to_string(max_bytes));
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw GifError(path.string() + ": cannot write");
    return bytes.size();
}

}  // namespace panel::app
