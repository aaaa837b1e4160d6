#include "screenshot.h"

#include <ctime>
#include <exception>

#include "panel_renderer.h"

namespace panel::app {
namespace {

namespace fs = std::filesystem;

std::string time_stamp() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &parts);
    return text;
}

}  // namespace

std::string save_screenshot(cairo_surface_t* picture, const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    fs::path file = folder / ("panel-" + time_stamp() + ".png");
    for (int n = 2; fs::exists(file); ++n) file = folder / ("panel-" + time_stamp() + "-" + std::to_string(n) + ".png");
    try {
        render::write_png(picture, file);
        return "saved " + file.string();
    } catch (const std::exception& failure) {
        return failure.what();
    }
}

}  // namespace panel::app
