#include "bitmap_source.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace panel {

FolderBitmaps::FolderBitmaps(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder_, error))
        throw BitmapError(folder_.string() + ": no such folder of bitmaps");
}

const DibImage* FolderBitmaps::find(uint32_t id) {
    auto known = read_.find(id);
    if (known == read_.end()) {
        const std::filesystem::path file = folder_ / (std::to_string(id) + ".bmp");
        std::error_code error;
        std::optional<DibImage> image;
        if (std::filesystem::is_regular_file(file, error)) {
            try {
                image = read_bmp_file(file);
            } catch (const DibError& bad) {
                throw BitmapError(bad.what());
            }
        }
        known = read_.emplace(id, std::move(image)).first;
    }
    return known->second ? &*known->second : nullptr;
}

std::unique_ptr<BitmapSource> bitmaps_for_module(const std::filesystem::path& module_file,
                                                 const std::string& gauge_name) {
    std::string extension = module_file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".gau" || extension == ".dll") return std::make_unique<PeBitmaps>(module_file);

    const std::filesystem::path folder = module_file.parent_path() / module_file.stem();
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        throw BitmapError(folder.string() + ": no bitmap folder for the gauge " + gauge_name +
                          " (the build copies the module's bitmaps there)");
    return std::make_unique<FolderBitmaps>(folder);
}

}  // namespace panel
