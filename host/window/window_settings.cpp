#include "window_settings.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "bounded_file.h"

namespace panel::window {

std::optional<std::filesystem::path> settings_file() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/') {
        return std::filesystem::path(config) / "panelhost" / "window.conf";
    }
    if (const char* home = std::getenv("HOME"); home && *home == '/') {
        return std::filesystem::path(home) / ".config" / "panelhost" / "window.conf";
    }
    return std::nullopt;
}

std::optional<std::string> window_settings_refusal(const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (!std::filesystem::exists(status) || std::filesystem::is_regular_file(status)) return std::nullopt;
    const char* kind = "not a file";
    switch (status.type()) {
        case std::filesystem::file_type::fifo: kind = "a named pipe"; break;
        case std::filesystem::file_type::directory: kind = "a folder"; break;
        case std::filesystem::file_type::character:
        case std::filesystem::file_type::block: kind = "a device"; break;
        case std::filesystem::file_type::socket: kind = "a socket"; break;
        default: break;
    }
    return file.string() + ": " + kind +
           ", not a settings file; the window opens with its defaults and its place "
           "is not saved";
}

WindowSettings load_window_settings(const std::filesystem::path& file) {
    WindowSettings settings;
    // A named pipe would be waited on for ever.
    if (window_settings_refusal(file)) return settings;
    std::string text;
    try {
        // A handful of short lines; anything larger is damage, and the defaults stand.
        text = read_bounded_file(file, 64u << 10, "window settings");
    } catch (const FileReadError&) {
        return settings;
    }
    std::istringstream in(text);
    std::string line;
    bool have_x = false, have_y = false;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key;
        long value = 0;
        if (!(words >> key >> value)) continue;
        // Beyond any screen: a damaged value is ignored rather than obeyed.
        if (value < -100000 || value > 100000) continue;
        const int v = static_cast<int>(value);
        if (key == "x") settings.x = v, have_x = true;
        else if (key == "y") settings.y = v, have_y = true;
        else if (key == "width" && v > 0) settings.width = v;
        else if (key == "height" && v > 0) settings.height = v;
        else if (key == "display" && v >= 0) settings.display = v;
        else if (key == "full_screen") settings.full_screen = v != 0;
    }
    settings.placed = have_x && have_y;
    return settings;
}

bool save_window_settings(const std::filesystem::path& file, const WindowSettings& settings) {
    if (window_settings_refusal(file)) return false;
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    // Written beside and renamed over, so that a crash never leaves half a file.
    const std::filesystem::path temporary = file.string() + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << "x " << settings.x << "\ny " << settings.y << "\nwidth " << settings.width << "\nheight "
            << settings.height << "\ndisplay " << settings.display << "\nfull_screen " << (settings.full_screen ? 1 : 0)
            << "\n";
        // Closed before it is judged: a full disk shows only when the buffer is written out.
        out.close();
        if (!out) {
            std::filesystem::remove(temporary, error);
            return false;
        }
    }
    std::filesystem::rename(temporary, file, error);
    return !error;
}

}  // namespace panel::window
