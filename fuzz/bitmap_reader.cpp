// The bitmap reader: the first byte chooses the form (odd: a .bmp file, even: a packed DIB as
// a module's resource holds it), the rest is the bitmap. A bitmap read is whole and the same
// in both forms; anything else is refused with one line.
#include <cstring>

#include "dib_reader.h"
#include "fuzz_support.h"
#include "module_fuzzers.h"

namespace panel::fuzz {
namespace {

// The packed DIB wrapped in a file header whose pixel offset says where its pixels start.
std::vector<uint8_t> as_file(std::span<const uint8_t> packed, const DibImage& image) {
    uint32_t header = 0, colours = 0;
    std::memcpy(&header, packed.data(), 4);
    std::memcpy(&colours, packed.data() + 32, 4);
    const uint32_t palette = image.bits_per_pixel == 8 && colours == 0 ? 256 : colours;
    const uint32_t size = static_cast<uint32_t>(14 + packed.size());
    const uint32_t offset = 14 + header + palette * 4;
    std::vector<uint8_t> file = {'B', 'M'};
    for (uint32_t word : {size, 0u, offset}) {
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<uint8_t>(word >> (8 * i)));
    }
    file.insert(file.end(), packed.begin(), packed.end());
    return file;
}

}  // namespace

void fuzz_bitmap_reader(std::span<const uint8_t> input) {
    if (input.empty()) return;
    const bool file = input[0] & 1;
    const std::span<const uint8_t> bytes = input.subspan(1);
    DibImage image;
    try {
        image = file ? parse_bmp_file(bytes) : parse_packed_dib(bytes);
    } catch (const DibError& error) {
        check_one_line(error.what(), "bitmap: ");
        return;
    }
    if (image.width < 1 || image.height < 1 || (image.bits_per_pixel != 8 && image.bits_per_pixel != 24) ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height) {
        throw FuzzFailure("bitmap read as " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                          " at " + std::to_string(image.bits_per_pixel) + " bits with " +
                          std::to_string(image.pixels.size()) + " pixels");
    }
    if (!file) {
        DibImage again;
        try {
            again = parse_bmp_file(as_file(bytes, image));
        } catch (const DibError& error) {
            throw FuzzFailure(std::string("a packed bitmap refused as a file: ") + error.what());
        }
        if (again.pixels != image.pixels) throw FuzzFailure("a packed bitmap read differently as a file");
    }
}

}  // namespace panel::fuzz

#ifndef PANEL_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return panel::fuzz::run_fuzz_target(panel::fuzz::fuzz_bitmap_reader, data, size);
}
#endif
