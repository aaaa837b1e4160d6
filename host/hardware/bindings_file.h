// The bindings file: which key, joystick button, hat or axis works which control of the panel,
// one binding a line, `#` starting a comment. The syntax is the one `panelhost controls` prints
// for each input as it arrives, followed by what it does:
//
//   key F5                                      press "gps ent"
//   joystick "Arduino Leonardo" button 5        press "gps inner_right" long "gps inner_left" 600ms
//   joystick "Arduino Leonardo" hat 0 up        turn "gps outer" 1
//   joystick "Arduino Leonardo" buttons 0 1     encoder "dme outer" fast 80ms x4
//   joystick 030000004123000037800000... axis 2 lever "dme mode_rmt" "dme mode_freq" "dme mode_gst"
//
// A device is named by its name (quoted) or its GUID (32 hex digits), never by the port it is
// plugged into.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace panel::controls {
class PanelControls;
}

namespace panel::hardware {

// "FILE:LINE: what is wrong", or "FILE: what" for a file that cannot be read.
class BindingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Device {
    std::string name;  // as written, when named
    std::string guid;  // lower-case hex, when given by GUID
    bool matches(std::string_view device_name, std::string_view device_guid) const;
    bool operator==(const Device&) const = default;
};

enum class HatDirection : uint8_t { up = 1, right = 2, down = 4, left = 8 };

struct Input {
    enum class Kind { key, button, hat, axis };
    Kind kind = Kind::key;
    int32_t key = 0;  // SDL's key code
    Device device;
    int number = 0;  // the button's, hat's or axis's number on its device
    HatDirection hat = HatDirection::up;
    bool operator==(const Input&) const = default;
};

// The input as the file writes it: `key F5`, `joystick "Box" button 5`.
std::string written(const Input& input);
std::string written(const Device& device);

struct Binding {
    enum class Action { press, turn, encoder, lever };
    Action action = Action::press;
    Input input;
    Input anticlockwise;                // encoder: its second button
    std::vector<std::string> controls;  // press, turn, encoder: one; lever: one per position
    int notches = 1;                    // turn
    std::string long_control;           // press: sent instead when held
    int long_ms = 500;
    int fast_ms = 0;  // encoder: a detent this soon after the one before turns `fast_times` notches
    int fast_times = 1;
    int line = 0;
};

struct Bindings {
    std::string file;
    std::vector<Binding> bindings;
};

// Throws BindingsError at the first bad line.
Bindings parse_bindings(std::string_view text, const std::string& file);

// The default file: $XDG_CONFIG_HOME or ~/.config, then panelhost/controls.cfg.
std::optional<std::filesystem::path> default_bindings_file();
// `given` (--controls) must exist; without it the default file is read when there is one, and
// no bindings otherwise.
Bindings load_bindings(const std::optional<std::filesystem::path>& given);

// Every control named must be one of the panel's, and one that turns where it is turned.
// Throws BindingsError at the first line that names one wrongly.
void check_bindings(const Bindings& bindings, const controls::PanelControls& controls);

}  // namespace panel::hardware
