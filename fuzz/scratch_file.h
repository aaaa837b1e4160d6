// A file of the fuzzer's own for targets whose code under test reads a path: one per process and
// name, written over for each input and removed at exit.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <span>
#include <string>

namespace panel::fuzz {

class ScratchFile {
public:
    explicit ScratchFile(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / ("panel-fuzz-" + std::to_string(getpid()) + "-" + name)) {}
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::filesystem::path& write(std::span<const uint8_t> bytes) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path_;
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace panel::fuzz
