// Writes the host's cue sounds as 22050 Hz 16-bit mono WAV files, the same bytes on every run.
//
//   cue_generator --out DIR
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cues.h"
#include "synth.h"

namespace fs = std::filesystem;

namespace {

void put16(std::vector<uint8_t>& bytes, uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(std::vector<uint8_t>& bytes, uint32_t value) {
    put16(bytes, value & 0xFFFF);
    put16(bytes, value >> 16);
}

void put_tag(std::vector<uint8_t>& bytes, const char (&tag)[5]) {
    bytes.insert(bytes.end(), tag, tag + 4);
}

// The plainest WAV there is: RIFF header, a 16-byte fmt chunk, the data chunk.
std::vector<uint8_t> encode_wav(const std::vector<int16_t>& samples) {
    const uint32_t data_size = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> bytes;
    put_tag(bytes, "RIFF");
    put32(bytes, 36 + data_size);
    put_tag(bytes, "WAVE");
    put_tag(bytes, "fmt ");
    put32(bytes, 16);
    put16(bytes, 1);  // PCM
    put16(bytes, 1);  // mono
    put32(bytes, cues::RATE);
    put32(bytes, cues::RATE * 2);
    put16(bytes, 2);
    put16(bytes, 16);
    put_tag(bytes, "data");
    put32(bytes, data_size);
    for (int16_t sample : samples) put16(bytes, static_cast<uint16_t>(sample));
    return bytes;
}

void write_file(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

int usage() {
    std::cerr << "usage: cue_generator --out DIR\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::string(argv[1]) != "--out") return usage();
    const fs::path out = argv[2];
    try {
        fs::create_directories(out);
        for (const cues::Cue& cue : cues::all_cues()) write_file(out / cue.file, encode_wav(cue.samples));
    } catch (const std::exception& error) {
        std::cerr << "cue_generator: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
