// Hand-made WAV files for the sound tests: every header field settable, so that each test can
// spoil exactly one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "le_bytes.h"

namespace wav_bytes {

using le_bytes::put16;
using le_bytes::put32;
using le_bytes::set32;

struct Fields {
    uint16_t tag = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16;
    int block_align = -1;  // -1: what channels and bits make
};

// One chunk: id, size, body, and the pad byte an odd body needs.
inline std::vector<uint8_t> chunk(const std::string& id, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> b(id.begin(), id.end());
    put32(b, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() % 2) b.push_back(0);
    return b;
}

inline std::vector<uint8_t> fmt_body(const Fields& f) {
    std::vector<uint8_t> b;
    put16(b, f.tag);
    put16(b, f.channels);
    put32(b, f.rate);
    const uint32_t align = f.block_align >= 0 ? static_cast<uint32_t>(f.block_align) : f.channels * f.bits / 8u;
    put32(b, f.rate * align);
    put16(b, align);
    put16(b, f.bits);
    return b;
}

inline std::vector<uint8_t> samples16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> b;
    for (int16_t s : samples) put16(b, static_cast<uint16_t>(s));
    return b;
}

// RIFF/WAVE around the chunks given, with a RIFF size that fits them.
inline std::vector<uint8_t> riff(const std::vector<std::vector<uint8_t>>& chunks) {
    std::vector<uint8_t> b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const auto& c : chunks) b.insert(b.end(), c.begin(), c.end());
    set32(b, 4, static_cast<uint32_t>(b.size() - 8));
    return b;
}

// The plain file: fmt, then data.
inline std::vector<uint8_t> wav(const Fields& f, const std::vector<uint8_t>& data) {
    return riff({chunk("fmt ", fmt_body(f)), chunk("data", data)});
}

inline std::vector<uint8_t> mono16(const std::vector<int16_t>& samples) {
    return wav({}, samples16(samples));
}

inline void write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace wav_bytes
