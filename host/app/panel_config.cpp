#include "panel_config.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <map>

namespace panel {
namespace {

// Far larger than any panel.cfg; a bigger file is something else given by mistake.
constexpr std::streamsize largest_file = 1 << 20;
// No window is wider than this; larger numbers are typing mistakes.
constexpr int largest_coordinate = 100000;

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string lower(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

// "window" or "gauge" followed by one or more digits, in any case.
bool numbered(std::string_view name, std::string_view word) {
    if (name.size() <= word.size() || lower(name.substr(0, word.size())) != word) return false;
    for (char c : name.substr(word.size())) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    while (true) {
        const size_t at = text.find(separator);
        parts.push_back(trim(text.substr(0, at)));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

class Reader {
public:
    explicit Reader(const std::string& file) : file_(file) {}

    void line(std::string_view text, int number) {
        number_ = number;
        check_characters(text);
        const size_t comment = std::min(text.find("//"), text.find(';'));
        text = trim(text.substr(0, comment));
        if (text.empty()) return;
        if (text.front() == '[') {
            section(text);
        } else if (window_ != nullptr) {
            key(text);
        }
    }

    PanelConfig finish() {
        PanelConfig config;
        for (PanelWindow& window : windows_) {
            if (!window.gauges.empty()) config.windows.push_back(std::move(window));
        }
        if (config.windows.empty()) throw PanelConfigError(file_ + ": no gauge in any [WindowNN] section");
        return config;
    }

private:
    void section(std::string_view text) {
        if (text.back() != ']') fail("section header without its closing ']'");
        const std::string_view name = trim(text.substr(1, text.size() - 2));
        window_ = nullptr;
        if (!numbered(name, "window")) return;
        auto [first, added] = sections_.emplace(lower(name), number_);
        if (!added) fail("[" + std::string(name) + "] again (first on line " + std::to_string(first->second) + ")");
        windows_.push_back({.section = std::string(name)});
        window_ = &windows_.back();
        keys_.clear();
    }

    void key(std::string_view text) {
        const size_t equals = text.find('=');
        if (equals == std::string_view::npos) fail("expected KEY=VALUE in [" + window_->section + "]");
        const std::string_view name = trim(text.substr(0, equals));
        const std::string_view value = trim(text.substr(equals + 1));
        const bool size = lower(name) == "size_mm";
        if (!size && !numbered(name, "gauge")) return;
        auto [first, added] = keys_.emplace(lower(name), number_);
        if (!added)
            fail(std::string(name) + " again in [" + window_->section + "] (first on line " +
                 std::to_string(first->second) + ")");
        if (size) {
            size_mm(value);
        } else {
            gauge(name, value);
        }
    }

    void size_mm(std::string_view value) {
        const auto parts = split(value, ',');
        if (parts.size() != 2) fail("size_mm: expected WIDTH,HEIGHT in millimetres, not '" + std::string(value) + "'");
        window_->width_mm = whole("size_mm width", parts[0], 1);
        window_->height_mm = whole("size_mm height", parts[1], 1);
    }

    void gauge(std::string_view key, std::string_view value) {
        const std::string name(key);
        const auto parts = split(value, ',');
        const size_t bang = parts[0].find('!');
        if (parts.size() < 3 || parts.size() > 5 || bang == std::string_view::npos) {
            fail(name + ": expected MODULE!GAUGE, X, Y[, WIDTH, HEIGHT], not '" + std::string(value) + "'");
        }
        PanelGauge gauge;
        gauge.module = trim(parts[0].substr(0, bang));
        gauge.gauge = trim(parts[0].substr(bang + 1));
        if (gauge.module.empty()) fail(name + ": no module before '!'");
        if (gauge.gauge.empty()) fail(name + ": no gauge name after '!'");
        if (gauge.gauge.find('!') != std::string::npos) fail(name + ": more than one '!'");
        gauge.x = whole(name + " x", parts[1], -largest_coordinate);
        gauge.y = whole(name + " y", parts[2], -largest_coordinate);
        if (parts.size() > 3) gauge.width = whole(name + " width", parts[3], 1);
        if (parts.size() > 4) gauge.height = whole(name + " height", parts[4], 1);
        gauge.line = number_;
        window_->gauges.push_back(std::move(gauge));
    }

    int whole(const std::string& what, std::string_view text, int lowest) {
        int value = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
            fail(what + " '" + std::string(text) + "' is not a whole number");
        }
        if (value < lowest || value > largest_coordinate) {
            fail(what + " " + std::to_string(value) + " out of range (" + std::to_string(lowest) + " to " +
                 std::to_string(largest_coordinate) + ")");
        }
        return value;
    }

    // Tab is a blank; every other control character is a mistake.
    void check_characters(std::string_view text) {
        for (unsigned char byte : text) {
            if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
                char code[8];
                std::snprintf(code, sizeof code, "0x%02X", byte);
                fail(std::string("stray control character ") + code);
            }
        }
    }

    [[noreturn]] void fail(const std::string& message) const {
        throw PanelConfigError(file_ + ":" + std::to_string(number_) + ": " + message);
    }

    const std::string& file_;
    int number_ = 0;
    std::vector<PanelWindow> windows_;
    PanelWindow* window_ = nullptr;        // the window section being read, if any
    std::map<std::string, int> sections_;  // lower-cased name, line
    std::map<std::string, int> keys_;      // of the current window
};

}  // namespace

PanelConfig parse_panel_config(std::string_view text, const std::string& file) {
    constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
    if (text.substr(0, byte_order_mark.size()) == byte_order_mark) text.remove_prefix(byte_order_mark.size());
    Reader reader(file);
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        reader.line(line, ++number);
    }
    return reader.finish();
}

PanelConfig read_panel_config(const std::filesystem::path& path) {
    const std::string file = path.string();
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PanelConfigError(file + ": cannot read");
    std::string text(static_cast<size_t>(largest_file) + 1, '\0');
    in.read(text.data(), largest_file + 1);
    if (in.bad()) throw PanelConfigError(file + ": cannot read");
    if (in.gcount() > largest_file) throw PanelConfigError(file + ": too large for a panel.cfg (over 1 MiB)");
    text.resize(static_cast<size_t>(in.gcount()));
    return parse_panel_config(text, file);
}

}  // namespace panel
