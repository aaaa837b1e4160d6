#include "line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "bounded_file.h"

namespace panel::live {
namespace {

constexpr size_t chunk_bytes = 64u << 10;

const char* kind_of(std::filesystem::file_type type) {
    using enum std::filesystem::file_type;
    switch (type) {
        case directory: return "a folder";
        case fifo: return "a pipe";
        case character:
        case block: return "a device";
        case socket: return "a socket";
        default: return "not a regular file";
    }
}

}  // namespace

LineReader::LineReader(const std::filesystem::path& file, std::string separator, size_t longest)
    : separator_(std::move(separator)), longest_(longest) {
    const std::string name = file.string();
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found || error) {
        throw FileReadError(name + ": cannot read (" + (error ? error.message() : "No such file or directory") + ")");
    }
    if (status.type() != std::filesystem::file_type::regular) {
        throw FileReadError(name + ": cannot read (" + kind_of(status.type()) + ", not a regular file)");
    }
    errno = 0;
    in_.open(file, std::ios::binary);
    if (!in_) throw FileReadError(name + ": cannot read (" + (errno != 0 ? std::strerror(errno) : "cannot open") + ")");
}

bool LineReader::next(std::string& line) {
    line.clear();
    size_t taken = 0;  // of the line, cut or not
    while (true) {
        if (taken == 0) skip_blank();
        const size_t found = buffer_.find(separator_, start_);
        if (found != std::string::npos) {
            taken += keep(found + separator_.size(), line);
            ++number_;
            return true;
        }
        // All but what may be the start of a separator cut by the chunk's end.
        taken += keep(std::max(start_, buffer_.size() - std::min(buffer_.size(), separator_.size() - 1)), line);
        if (!fill()) break;
    }
    taken += keep(buffer_.size(), line);
    if (taken == 0) return false;
    ++number_;
    return true;
}

void LineReader::skip_blank() {
    while (buffer_.compare(start_, separator_.size(), separator_) == 0) {
        start_ += separator_.size();
        consumed_ += separator_.size();
        ++number_;
    }
}

size_t LineReader::keep(size_t stop, std::string& line) {
    const size_t taken = stop - start_;
    if (line.size() < longest_) line.append(buffer_, start_, std::min(taken, longest_ - line.size()));
    consumed_ += taken;
    start_ = stop;
    return taken;
}

bool LineReader::fill() {
    if (!error_.empty() || !in_) return false;
    buffer_.erase(0, start_);
    start_ = 0;
    const size_t held = buffer_.size();
    buffer_.resize(held + chunk_bytes);
    in_.read(buffer_.data() + held, chunk_bytes);
    buffer_.resize(held + static_cast<size_t>(in_.gcount()));
    if (in_.bad()) error_ = "read error";
    return buffer_.size() > held;
}

}  // namespace panel::live
