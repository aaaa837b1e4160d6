// A file's lines one at a time, for a file too large to hold whole: each with its number, blank
// ones (the separator alone) passed over, and a line that runs on past a limit cut there (its
// rest read and dropped), so that memory stays the same whatever the file holds.
#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>

namespace panel::live {

class LineReader {
public:
    // Throws FileReadError "FILE: why" for a file that cannot be opened or is not a regular
    // file: a pipe or a device would hold up whoever reads it, waiting for a writer or for ever.
    LineReader(const std::filesystem::path& file, std::string separator, size_t longest);

    // The next line that is not blank, with its separator (the file's last may lack one), cut to
    // `longest` bytes.
    // False at the end of the file, or when it cannot be read on (then error() says why).
    bool next(std::string& line);

    size_t number() const { return number_; }      // of the line last read, from 1
    size_t consumed() const { return consumed_; }  // bytes of the file read so far
    const std::string& error() const { return error_; }

private:
    bool fill();
    void skip_blank();
    size_t keep(size_t stop, std::string& line);

    std::ifstream in_;
    std::string separator_;
    size_t longest_;
    std::string buffer_;
    size_t start_ = 0;  // in buffer_: what is not yet given out
    size_t number_ = 0, consumed_ = 0;
    std::string error_;
};

}  // namespace panel::live
