// A file's bytes read as little-endian fields at offsets, each range checked before it is read,
// so that any bytes at all may be given: what runs past the end is a FormatError saying what
// was cut short and where. The file structure check, the PE headers and the bitmap resources
// read their files through it, so a fault reads the same wherever it is met.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace panel {

// What is wrong with a file's contents, in one line without the file's name: each reader puts
// the name in front as its own messages do.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class FileFields {
public:
    explicit FileFields(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    uint64_t size() const { return bytes_.size(); }
    std::span<const uint8_t> bytes() const { return bytes_; }

    [[noreturn]] void fail(std::string_view what) const;

    // Refuses the file unless [offset, offset + length) lies within it.
    void require(std::string_view what, uint64_t offset, uint64_t length) const;
    // Refuses the file unless `count` entries of `entry_size` bytes from `offset` lie within it.
    void require_table(std::string_view what, uint64_t offset, uint64_t count, uint64_t entry_size) const;

    // True when the file holds exactly these bytes at `offset`.
    bool holds_at(uint64_t offset, std::string_view text) const;
    // True when the file begins with `magic` as far as it goes: a file cut inside its magic
    // number is still taken for that kind, and then refused as truncated.
    bool begins_with(std::string_view magic) const;

    // Fields; `what` names the structure they belong to should the file end first.
    uint8_t u8(uint64_t offset, std::string_view what = "header field") const {
        return static_cast<uint8_t>(read(offset, 1, what));
    }
    uint16_t u16(uint64_t offset, std::string_view what = "header field") const {
        return static_cast<uint16_t>(read(offset, 2, what));
    }
    uint32_t u32(uint64_t offset, std::string_view what = "header field") const {
        return static_cast<uint32_t>(read(offset, 4, what));
    }
    uint64_t u64(uint64_t offset, std::string_view what = "header field") const { return read(offset, 8, what); }
    // An address or offset field: 8 bytes wide or 4.
    uint64_t word(uint64_t offset, bool wide, std::string_view what = "header field") const {
        return read(offset, wide ? 8 : 4, what);
    }

    // Up to `length` bytes from `offset` up to the first NUL, unprintable ones as '?': a section's
    // or a chunk's name for messages.
    std::string short_name(uint64_t offset, size_t length) const;

private:
    uint64_t read(uint64_t offset, unsigned width, std::string_view what) const;

    std::span<const uint8_t> bytes_;
};

}  // namespace panel
