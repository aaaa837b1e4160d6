#include "file_fields.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "little_endian.h"

namespace panel {

void FileFields::fail(std::string_view what) const {
    throw FormatError(std::string(what));
}

void FileFields::require(std::string_view what, uint64_t offset, uint64_t length) const {
    if (offset > std::numeric_limits<uint64_t>::max() - length) {
        fail("damaged: " + std::string(what) + " (" + std::to_string(length) + " bytes at byte " +
             std::to_string(offset) + ") runs past any file");
    }
    if (offset + length > size()) {
        fail("truncated: " + std::string(what) + " ends at byte " + std::to_string(offset + length) + " of a " +
             std::to_string(size()) + "-byte file");
    }
}

void FileFields::require_table(std::string_view what, uint64_t offset, uint64_t count, uint64_t entry_size) const {
    if (entry_size != 0 && count > std::numeric_limits<uint64_t>::max() / entry_size) {
        fail("damaged: " + std::string(what) + " of " + std::to_string(count) + " entries runs past any file");
    }
    require(what, offset, count * entry_size);
}

bool FileFields::holds_at(uint64_t offset, std::string_view text) const {
    // memcmp is never handed an empty file's null pointer, even for no bytes.
    return offset <= size() && text.size() <= size() - offset &&
           (text.empty() || std::memcmp(bytes_.data() + offset, text.data(), text.size()) == 0);
}

bool FileFields::begins_with(std::string_view magic) const {
    const size_t n = std::min<size_t>(magic.size(), bytes_.size());
    return n == 0 || std::memcmp(bytes_.data(), magic.data(), n) == 0;
}

std::string FileFields::short_name(uint64_t offset, size_t length) const {
    std::string name;
    for (uint64_t i = offset; i < size() && i - offset < length && bytes_[i] != 0; ++i) {
        name += (bytes_[i] >= 0x20 && bytes_[i] < 0x7F) ? static_cast<char>(bytes_[i]) : '?';
    }
    return name;
}

uint64_t FileFields::read(uint64_t offset, unsigned width, std::string_view what) const {
    require(what, offset, width);
    return little_endian::read(bytes_, offset, width);
}

}  // namespace panel
