// F12: what a window shows, saved as a PNG named by the time into a folder of the user's.
#pragma once

#include <cairo.h>

#include <filesystem>
#include <string>

namespace panel::app {

// Saves `picture` as folder/panel-YYYYMMDD-HHMMSS.png (with -2, -3 ... rather than replace one)
// and returns what the status line says: "saved FILE", or why it could not.
std::string save_screenshot(cairo_surface_t* picture, const std::filesystem::path& folder);

}  // namespace panel::app
