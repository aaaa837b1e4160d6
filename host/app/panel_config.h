// Reads panel.cfg files as panel builders write them: [WindowNN] sections, each with an
// optional size_mm=WIDTH,HEIGHT and gauge lines gaugeNN=MODULE!GAUGE, X, Y[, WIDTH[, HEIGHT]].
// Section and key names are matched without regard to case; other sections and keys are
// left alone, as are windows without a gauge (the main panel's own bitmap, for one). `//` and
// `;` start comments; CRLF line ends, a UTF-8 byte-order mark and blanks anywhere are fine.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace panel {

// "FILE:LINE: what is wrong" (or "FILE: what" for the file as a whole).
class PanelConfigError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct PanelGauge {
    std::string module;                // the module's file name without its extension
    std::string gauge;                 // the gauge's own name within it
    int x = 0, y = 0;                  // in the window's pixels
    std::optional<int> width, height;  // the size drawn; the gauge's own when absent
    int line = 0;
};

struct PanelWindow {
    std::string section;  // as written: "Window01"
    std::optional<int> width_mm, height_mm;
    std::vector<PanelGauge> gauges;  // file order
};

struct PanelConfig {
    std::vector<PanelWindow> windows;  // file order; each has at least one gauge
};

// Throws PanelConfigError for an unreadable file, a malformed gauge line or size_mm, or a
// file with no gauge at all. `file` names the text in messages.
PanelConfig parse_panel_config(std::string_view text, const std::string& file);
PanelConfig read_panel_config(const std::filesystem::path& path);

}  // namespace panel
