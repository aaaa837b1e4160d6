// Reads RIFF/WAVE files: uncompressed PCM, 8 or 16 bits, mono or stereo, at any rate from 1000
// to 384000 Hz, lasting at most MAX_CUE_SECONDS. Every chunk is checked against the bytes that
// hold it before it is read; anything malformed, truncated or too long, and every other
// encoding, throws WavError.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>

#include "pcm_sound.h"

namespace panel::sound {

class WavError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Room for the longest cue at the highest rate (10 s of 384 kHz stereo); larger files are refused
// unread.
constexpr uintmax_t MAX_WAV_FILE_BYTES = 16u << 20;

// The bytes of a whole .wav file; 8-bit samples come back widened to 16 bits.
PcmSound parse_wav(std::span<const uint8_t> bytes);
// Reads and parses a .wav file; the error names the file.
PcmSound read_wav_file(const std::filesystem::path& path);

}  // namespace panel::sound
