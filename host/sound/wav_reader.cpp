#include "wav_reader.h"

#include <fstream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "little_endian.h"

namespace panel::sound {

namespace {

constexpr size_t CHUNK_HEADER_SIZE = 8;
constexpr uint16_t FORMAT_PCM = 1;

using little_endian::u16;
using little_endian::u32;

bool tag_is(std::span<const uint8_t> bytes, size_t at, const char (&tag)[5]) {
    for (size_t i = 0; i < 4; ++i)
        if (bytes[at + i] != static_cast<uint8_t>(tag[i])) return false;
    return true;
}

// A chunk id for messages: printable bytes as they are, the rest as '?'.
std::string tag_text(std::span<const uint8_t> bytes, size_t at) {
    std::string text;
    for (size_t i = 0; i < 4; ++i) {
        const uint8_t byte = bytes[at + i];
        text += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?';
    }
    return text;
}

[[noreturn]] void fail(const std::string& what) {
    throw WavError("wav: " + what);
}

struct Format {
    uint16_t channels = 0;
    uint32_t sample_rate = 0;
    uint16_t block_align = 0;
    uint16_t bits = 0;
};

Format parse_format(std::span<const uint8_t> chunk) {
    if (chunk.size() < 16) fail("fmt chunk of " + std::to_string(chunk.size()) + " bytes, at least 16 expected");
    const uint16_t tag = u16(chunk, 0);
    Format format{u16(chunk, 2), u32(chunk, 4), u16(chunk, 12), u16(chunk, 14)};
    if (tag != FORMAT_PCM) fail("format tag " + std::to_string(tag) + " unsupported (uncompressed PCM only)");
    if (format.channels != 1 && format.channels != 2)
        fail(std::to_string(format.channels) + " channels unsupported (mono or stereo only)");
    if (format.bits != 8 && format.bits != 16)
        fail(std::to_string(format.bits) + " bits per sample unsupported (8 or 16 only)");
    if (format.sample_rate < 1000 || format.sample_rate > 384000)
        fail("sample rate " + std::to_string(format.sample_rate) + " Hz out of range");
    if (format.block_align != format.channels * format.bits / 8)
        fail("block align " + std::to_string(format.block_align) + " does not fit " + std::to_string(format.channels) +
             " channels of " + std::to_string(format.bits) + " bits");
    return format;
}

PcmSound decode(const Format& format, std::span<const uint8_t> data) {
    // A trailing partial frame is left out, as players do.
    const size_t frames = data.size() / format.block_align;
    if (frames == 0) fail("data chunk holds no whole frame");
    // Refused before a sample is widened.
    if (frames > size_t{format.sample_rate} * MAX_CUE_SECONDS) {
        const size_t tenths = frames * 10 / format.sample_rate;
        fail(std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s of sound at " +
             std::to_string(format.sample_rate) + " Hz, longer than a cue may last (" +
             std::to_string(MAX_CUE_SECONDS) + " s)");
    }
    PcmSound sound{static_cast<int>(format.sample_rate), format.channels, {}};
    const size_t count = frames * format.channels;
    sound.samples.resize(count);
    for (size_t i = 0; i < count; ++i) {
        // 8-bit samples are unsigned around 128; 16-bit ones signed little-endian.
        sound.samples[i] =
            format.bits == 8 ? static_cast<int16_t>((data[i] - 128) * 256) : static_cast<int16_t>(u16(data, i * 2));
    }
    return sound;
}

}  // namespace

PcmSound parse_wav(std::span<const uint8_t> bytes) {
    if (bytes.size() < 12) fail("shorter than a RIFF header");
    if (!tag_is(bytes, 0, "RIFF")) fail("not a RIFF file");
    if (!tag_is(bytes, 8, "WAVE")) fail("RIFF file of form " + tag_text(bytes, 8) + ", not WAVE");
    const uint64_t riff_end = uint64_t{u32(bytes, 4)} + 8;
    if (riff_end < 12) fail("RIFF chunk of " + std::to_string(riff_end - 8) + " bytes cannot hold its form");
    if (riff_end > bytes.size())
        fail("truncated: the RIFF header promises " + std::to_string(riff_end) + " bytes, the file has " +
             std::to_string(bytes.size()));
    // Bytes past the RIFF chunk belong to no one and are ignored.
    const std::span<const uint8_t> riff = bytes.first(static_cast<size_t>(riff_end));

    std::optional<Format> format;
    size_t at = 12;
    while (true) {
        if (riff.size() - at < CHUNK_HEADER_SIZE) {
            fail(format ? "no data chunk" : "no fmt chunk");
        }
        const uint32_t size = u32(riff, at + 4);
        const size_t body = at + CHUNK_HEADER_SIZE;
        if (size > riff.size() - body)
            fail("chunk " + tag_text(riff, at) + " of " + std::to_string(size) + " bytes runs past the end");
        const std::span<const uint8_t> chunk = riff.subspan(body, size);
        if (tag_is(riff, at, "fmt ")) {
            if (format) fail("second fmt chunk");
            format = parse_format(chunk);
        } else if (tag_is(riff, at, "data")) {
            if (!format) fail("data chunk before the fmt chunk");
            return decode(*format, chunk);
        }
        // Chunks are padded to an even length; a missing pad at the very end is tolerated.
        at = body + size + (size & 1);
        if (at > riff.size()) at = riff.size();
    }
}

PcmSound read_wav_file(const std::filesystem::path& path) {
    const std::string name = path.string();
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) throw WavError(name + ": no such file");
    if (!std::filesystem::is_regular_file(status)) throw WavError(name + ": not a regular file");
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error) throw WavError(name + ": " + error.message());
    if (size > MAX_WAV_FILE_BYTES)
        throw WavError(name + ": " + std::to_string(size) + " bytes, more than a cue may have");

    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    std::ifstream in(path, std::ios::binary);
    if (!in) throw WavError(name + ": cannot be opened");
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    // A file that shrank since its size was taken reads short; what was read is parsed.
    bytes.resize(static_cast<size_t>(in.gcount()));
    if (in.bad()) throw WavError(name + ": cannot be read");
    try {
        return parse_wav(bytes);
    } catch (const WavError& wrong) {
        throw WavError(name + ": " + wrong.what());
    }
}

}  // namespace panel::sound
