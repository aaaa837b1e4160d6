// Hand-made bitmaps for the tests of the bitmap sources, the renderer and the module checker:
// solid pictures, the same as packed DIBs, .bmp files and the resources of a tiny DLL, a source
// that holds them in memory, and a scratch folder.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "bitmap_source.h"
#include "le_bytes.h"

namespace bitmap_test {

using le_bytes::put16;
using le_bytes::put32;
using le_bytes::set16;
using le_bytes::set32;

using panel::DibImage;
using panel::RgbPixel;

constexpr RgbPixel BLACK{0, 0, 0}, RED{200, 10, 10}, GREEN{10, 200, 10}, BLUE{10, 10, 200}, GREY{90, 90, 90};

inline DibImage solid(int width, int height, RgbPixel colour) {
    DibImage image;
    image.width = width;
    image.height = height;
    image.bits_per_pixel = 24;
    image.pixels.assign(static_cast<size_t>(width) * height, colour);
    return image;
}

// Bitmaps held in memory, by id.
class MemoryBitmaps : public panel::BitmapSource {
public:
    MemoryBitmaps& add(uint32_t id, DibImage image) {
        images_[id] = std::move(image);
        return *this;
    }
    const DibImage* find(uint32_t id) override {
        auto found = images_.find(id);
        return found == images_.end() ? nullptr : &found->second;
    }

private:
    std::map<uint32_t, DibImage> images_;
};

// A 24-bit packed DIB (info header and bottom-up rows) of `image`.
inline std::vector<uint8_t> packed_dib(const DibImage& image) {
    std::vector<uint8_t> b;
    const size_t row_bytes = (static_cast<size_t>(image.width) * 3 + 3) / 4 * 4;
    for (uint32_t v : {40u, static_cast<uint32_t>(image.width), static_cast<uint32_t>(image.height)}) put32(b, v);
    put16(b, 1);
    put16(b, 24);
    for (uint32_t v : {0u, static_cast<uint32_t>(row_bytes * image.height), 2835u, 2835u, 0u, 0u}) put32(b, v);
    for (int y = image.height - 1; y >= 0; --y) {
        const size_t start = b.size();
        for (int x = 0; x < image.width; ++x) {
            const RgbPixel& p = image.at(x, y);
            b.insert(b.end(), {p.b, p.g, p.r});
        }
        b.resize(start + row_bytes, 0);
    }
    return b;
}

// The same as a .bmp file.
inline std::vector<uint8_t> bmp_file(const DibImage& image) {
    const std::vector<uint8_t> dib = packed_dib(image);
    std::vector<uint8_t> b = {'B', 'M'};
    put32(b, static_cast<uint32_t>(14 + dib.size()));
    put32(b, 0);
    put32(b, 54);
    b.insert(b.end(), dib.begin(), dib.end());
    return b;
}

struct Resource {
    uint32_t id;
    std::vector<std::pair<uint32_t, DibImage>> languages;
};

// A 32-bit Windows DLL with one section, .rsrc, holding these RT_BITMAP resources (none: an
// empty bitmap directory).
inline std::vector<uint8_t> tiny_dll(const std::vector<Resource>& bitmaps) {
    constexpr uint32_t section_rva = 0x1000, section_file = 0x200;
    // The resource section: root, the bitmap directory, one language directory per bitmap,
    // the data entries, then the DIBs.
    std::vector<uint8_t> rsrc;
    auto directory = [&](uint16_t ids) {
        const size_t at = rsrc.size();
        rsrc.resize(at + 16 + 8u * ids, 0);
        set16(rsrc, at + 14, ids);
        return at;
    };
    const size_t root = directory(1);
    const size_t types = directory(static_cast<uint16_t>(bitmaps.size()));
    set32(rsrc, root + 16, 2);
    set32(rsrc, root + 20, 0x80000000u | static_cast<uint32_t>(types));
    std::vector<std::pair<size_t, const DibImage*>> data_entries;
    for (size_t i = 0; i < bitmaps.size(); ++i) {
        const size_t languages = directory(static_cast<uint16_t>(bitmaps[i].languages.size()));
        set32(rsrc, types + 16 + 8 * i, bitmaps[i].id);
        set32(rsrc, types + 20 + 8 * i, 0x80000000u | static_cast<uint32_t>(languages));
        for (size_t k = 0; k < bitmaps[i].languages.size(); ++k) {
            set32(rsrc, languages + 16 + 8 * k, bitmaps[i].languages[k].first);
            data_entries.push_back({languages + 20 + 8 * k, &bitmaps[i].languages[k].second});
        }
    }
    for (auto& [slot, image] : data_entries) {
        const size_t entry = rsrc.size();
        rsrc.resize(entry + 16, 0);
        set32(rsrc, slot, static_cast<uint32_t>(entry));
        const std::vector<uint8_t> dib = packed_dib(*image);
        set32(rsrc, entry, section_rva + static_cast<uint32_t>(rsrc.size()));
        set32(rsrc, entry + 4, static_cast<uint32_t>(dib.size()));
        rsrc.insert(rsrc.end(), dib.begin(), dib.end());
    }

    std::vector<uint8_t> file(section_file, 0);
    file[0] = 'M';
    file[1] = 'Z';
    set32(file, 0x3C, 0x40);
    file[0x40] = 'P';
    file[0x41] = 'E';
    set16(file, 0x44, 0x14C);    // i386
    set16(file, 0x46, 1);        // one section
    set16(file, 0x54, 224);      // optional header size
    set16(file, 0x56, 0x2102);   // a 32-bit DLL
    set16(file, 0x58, 0x10B);    // PE32
    set32(file, 0x58 + 92, 16);  // data directories
    set32(file, 0x58 + 96 + 16, section_rva);
    set32(file, 0x58 + 96 + 20, static_cast<uint32_t>(rsrc.size()));
    const size_t section = 0x58 + 224;
    std::copy_n(".rsrc", 5, file.begin() + section);
    set32(file, section + 8, static_cast<uint32_t>(rsrc.size()));
    set32(file, section + 12, section_rva);
    set32(file, section + 16, static_cast<uint32_t>(rsrc.size()));
    set32(file, section + 20, section_file);
    // Resized and copied rather than inserted: GCC 12's -Warray-bounds misreads an insert at the
    // end of a vector of constant size in optimised builds.
    file.resize(section_file + rsrc.size());
    std::copy(rsrc.begin(), rsrc.end(), file.begin() + static_cast<std::ptrdiff_t>(section_file));
    return file;
}

// A folder of its own under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& label)
        : path_(std::filesystem::temp_directory_path() / ("panel_test_" + label + "_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace bitmap_test
