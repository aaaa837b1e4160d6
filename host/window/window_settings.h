// Where the fly window stood and how large it was, kept between runs in a small text file under
// the user's config folder ($XDG_CONFIG_HOME, or ~/.config, then panelhost/window.conf).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace panel::window {

struct WindowSettings {
    int x = 0, y = 0;
    int width = 0, height = 0;  // 0: the panel's own size
    int display = 0;
    bool full_screen = false;
    bool placed = false;  // x and y were saved, not guessed
};

// The settings file's place; nothing when neither variable says where home is.
std::optional<std::filesystem::path> settings_file();

// One line naming the file when something other than a file stands at its place (a named pipe
// that would never be written, a device, a folder): it is neither read nor written over. Nothing
// when it is a file or there is none yet.
std::optional<std::string> window_settings_refusal(const std::filesystem::path& file);

// What the file holds; defaults for anything missing, unreadable or refused (a damaged file is
// never an error: the window just opens where it would the first time).
WindowSettings load_window_settings(const std::filesystem::path& file);
// Writes the file, creating its folder; false when it cannot or may not (the window still
// closes).
bool save_window_settings(const std::filesystem::path& file, const WindowSettings& settings);

}  // namespace panel::window
