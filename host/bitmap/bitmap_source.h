// Where a gauge's bitmaps come from, by resource id: the files of a folder (a native module's
// copy of its resources) or the RT_BITMAP resources inside a Windows .gau, read from the file
// without loading it. Plain pixels, no drawing: the renderer and the module checker both read
// them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "dib_reader.h"

namespace panel {

// A bitmap, a folder or a module's resources that cannot be read. The message is one line
// naming the file.
class BitmapError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class BitmapSource {
public:
    virtual ~BitmapSource() = default;
    // The bitmap with this resource id, or nullptr when there is none. A bitmap that exists but
    // cannot be read throws BitmapError naming the file.
    virtual const DibImage* find(uint32_t id) = 0;
};

// `<decimal id>.bmp` files of one folder, each read when first asked for and kept.
class FolderBitmaps : public BitmapSource {
public:
    // Throws BitmapError when `folder` is not a folder.
    explicit FolderBitmaps(std::filesystem::path folder);
    const DibImage* find(uint32_t id) override;

private:
    std::filesystem::path folder_;
    std::map<uint32_t, std::optional<DibImage>> read_;  // nullopt: no such file
};

// The RT_BITMAP resources of a 32-bit Windows DLL. The headers and the resource directory are
// read at construction; each bitmap is decoded when first asked for and kept.
class PeBitmaps : public BitmapSource {
public:
    // Throws BitmapError naming the file when it is not a whole Windows DLL or its resource
    // directory is damaged.
    explicit PeBitmaps(const std::filesystem::path& file);
    // The same from bytes already read; `name` is what the errors call them.
    PeBitmaps(std::string name, std::vector<uint8_t> bytes);

    const DibImage* find(uint32_t id) override;
    // Every bitmap id the file holds, ascending.
    std::vector<uint32_t> ids() const;

private:
    struct Placement {
        uint64_t offset;  // in the file
        uint32_t size;
    };
    void index_resources();

    std::string name_;
    std::vector<uint8_t> bytes_;
    std::map<uint32_t, Placement> placements_;
    std::map<uint32_t, DibImage> decoded_;
};

// The bitmaps of the gauge `gauge_name` in `module_file`: a .gau reads its own resources; a
// native module DIR/NAME.so reads the folder DIR/NAME/ that the build fills beside it.
std::unique_ptr<BitmapSource> bitmaps_for_module(const std::filesystem::path& module_file,
                                                 const std::string& gauge_name);

}  // namespace panel
