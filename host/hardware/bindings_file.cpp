#include "bindings_file.h"

#include <SDL2/SDL_keyboard.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>

#include "bounded_file.h"
#include "panel_controls.h"

namespace panel::hardware {
namespace {

// A cockpit's file of a few hundred lines; anything far larger was named by mistake.
constexpr size_t largest_file = 1024 * 1024;

struct Token {
    std::string text;
    bool quoted = false;
};

class LineError {
public:
    explicit LineError(std::string what) : what(std::move(what)) {}
    std::string what;
};

std::vector<Token> split(std::string_view line) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            const size_t end = line.find('"', i + 1);
            if (end == std::string_view::npos) throw LineError("a quote is not closed");
            tokens.push_back({std::string(line.substr(i + 1, end - i - 1)), true});
            i = end + 1;
        } else {
            size_t end = i;
            while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '"' && line[end] != '#')
                ++end;
            tokens.push_back({std::string(line.substr(i, end - i)), false});
            i = end;
        }
    }
    return tokens;
}

class Reader {
public:
    explicit Reader(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}
    bool done() const { return at_ == tokens_.size(); }
    const Token* peek() const { return done() ? nullptr : &tokens_[at_]; }
    bool next_is(std::string_view word) const { return !done() && !tokens_[at_].quoted && tokens_[at_].text == word; }
    Token take(std::string_view what) {
        if (done()) throw LineError("expected " + std::string(what) + " at the end of the line");
        return tokens_[at_++];
    }
    int number(std::string_view what, int low, int high, std::string_view suffix = {}, std::string_view prefix = {}) {
        const Token token = take(what);
        std::string_view text = token.text;
        const bool shaped = !token.quoted && text.starts_with(prefix) && text.ends_with(suffix);
        if (shaped) text = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
        int value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (!shaped || text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
            value > high) {
            throw LineError(std::string(what) + " must be " + std::string(prefix) + "a whole number from " +
                            std::to_string(low) + " to " + std::to_string(high) + std::string(suffix) + ", not '" +
                            token.text + "'");
        }
        return value;
    }
    std::string control() {
        const Token token = take("a control's name, such as \"gps ent\"");
        if (!token.quoted) throw LineError("a control's name is written in quotes, such as \"gps ent\"");
        return token.text;
    }
    void finish() {
        if (!done())
            throw LineError("'" + tokens_[at_].text + "' is not understood here (names of controls are in quotes)");
    }

private:
    std::vector<Token> tokens_;
    size_t at_ = 0;
};

bool is_guid(std::string_view text) {
    return text.size() == 32 && std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(c) != 0; });
}

Device device(Reader& reader) {
    const Token token = reader.take("a device: its name in quotes, or its GUID");
    if (token.quoted) {
        if (token.text.empty()) throw LineError("a device's name is not empty");
        return {.name = token.text};
    }
    if (!is_guid(token.text))
        throw LineError("a device is its name in quotes or its GUID of 32 hex digits, not '" + token.text + "'");
    std::string guid = token.text;
    std::transform(guid.begin(), guid.end(), guid.begin(), [](char c) { return std::tolower(c); });
    return {.guid = guid};
}

constexpr int most_inputs = 255;

HatDirection hat_direction(Reader& reader) {
    const Token token = reader.take("a hat's direction (up, down, left or right)");
    if (token.text == "up") return HatDirection::up;
    if (token.text == "down") return HatDirection::down;
    if (token.text == "left") return HatDirection::left;
    if (token.text == "right") return HatDirection::right;
    throw LineError("a hat's direction is up, down, left or right, not '" + token.text + "'");
}

// The input, and for `buttons` the encoder's second one.
Binding input(Reader& reader) {
    Binding binding;
    const Token kind = reader.take("key or joystick");
    if (!kind.quoted && kind.text == "key") {
        const Token name = reader.take("a key's name, such as F5");
        const SDL_Keycode key = SDL_GetKeyFromName(name.text.c_str());
        if (key == SDLK_UNKNOWN) throw LineError("no key is called '" + name.text + "' (names as SDL writes them)");
        binding.input = {.kind = Input::Kind::key, .key = key};
        return binding;
    }
    if (kind.quoted || kind.text != "joystick")
        throw LineError("a binding starts with key or joystick, not '" + kind.text + "'");
    const Device on = device(reader);
    const Token what = reader.take("button, buttons, hat or axis");
    Input& in = binding.input;
    in.device = on;
    if (what.text == "button") {
        in.kind = Input::Kind::button;
        in.number = reader.number("a button's number", 0, most_inputs);
    } else if (what.text == "buttons") {
        in.kind = Input::Kind::button;
        in.number = reader.number("the clockwise button's number", 0, most_inputs);
        binding.anticlockwise = in;
        binding.anticlockwise.number = reader.number("the anticlockwise button's number", 0, most_inputs);
        if (binding.anticlockwise.number == in.number) throw LineError("an encoder's two buttons differ");
        binding.action = Binding::Action::encoder;
    } else if (what.text == "hat") {
        in.kind = Input::Kind::hat;
        in.number = reader.number("a hat's number", 0, most_inputs);
        in.hat = hat_direction(reader);
    } else if (what.text == "axis") {
        in.kind = Input::Kind::axis;
        in.number = reader.number("an axis's number", 0, most_inputs);
    } else {
        throw LineError("a joystick's input is button, buttons, hat or axis, not '" + what.text + "'");
    }
    return binding;
}

void action(Reader& reader, Binding& binding) {
    const bool pair = binding.action == Binding::Action::encoder;
    const bool axis = binding.input.kind == Input::Kind::axis;
    const Token verb = reader.take("what it does: press, turn, encoder or lever");
    if (verb.text == "encoder") {
        if (!pair) throw LineError("an encoder is a pair of buttons: joystick DEVICE buttons CLOCKWISE ANTICLOCKWISE");
        binding.controls.push_back(reader.control());
        if (reader.next_is("fast")) {
            reader.take("fast");
            binding.fast_ms = reader.number("fast's time", 1, 10000, "ms");
            binding.fast_times = reader.number("fast's factor", 2, 100, "", "x");
        }
    } else if (pair) {
        throw LineError("a pair of buttons is an encoder: ... buttons A B encoder \"CONTROL\"");
    } else if (verb.text == "lever") {
        if (!axis) throw LineError("a lever is an axis: joystick DEVICE axis N lever \"CONTROL\" ...");
        while (!reader.done()) binding.controls.push_back(reader.control());
        if (binding.controls.size() < 2)
            throw LineError("a lever names a control for each of its positions, two or more");
        binding.action = Binding::Action::lever;
    } else if (axis) {
        throw LineError("an axis is a lever: ... axis N lever \"CONTROL\" \"CONTROL\" ...");
    } else if (verb.text == "press") {
        binding.action = Binding::Action::press;
        binding.controls.push_back(reader.control());
        if (reader.next_is("long")) {
            reader.take("long");
            binding.long_control = reader.control();
            if (!reader.done()) binding.long_ms = reader.number("a long press's time", 50, 10000, "ms");
        }
    } else if (verb.text == "turn") {
        binding.action = Binding::Action::turn;
        binding.controls.push_back(reader.control());
        if (!reader.done()) binding.notches = reader.number("the notches", -100, 100);
        if (binding.notches == 0) throw LineError("a turn of 0 notches does nothing");
    } else {
        throw LineError("an input does press, turn, encoder or lever, not '" + verb.text + "'");
    }
    reader.finish();
}

std::string quoted_if_needed(const std::string& text) {
    const bool plain = !text.empty() && text.find_first_of(" \t\"#") == std::string::npos;
    return plain ? text : "\"" + text + "\"";
}

}  // namespace

bool Device::matches(std::string_view device_name, std::string_view device_guid) const {
    return guid.empty() ? name == device_name : guid == device_guid;
}

std::string written(const Device& device) {
    return device.guid.empty() ? "\"" + device.name + "\"" : device.guid;
}

std::string written(const Input& input) {
    switch (input.kind) {
        case Input::Kind::key: return "key " + quoted_if_needed(SDL_GetKeyName(input.key));
        case Input::Kind::button:
            return "joystick " + written(input.device) + " button " + std::to_string(input.number);
        case Input::Kind::axis: return "joystick " + written(input.device) + " axis " + std::to_string(input.number);
        case Input::Kind::hat: break;
    }
    const char* direction = input.hat == HatDirection::up     ? "up"
                            : input.hat == HatDirection::down ? "down"
                            : input.hat == HatDirection::left ? "left"
                                                              : "right";
    return "joystick " + written(input.device) + " hat " + std::to_string(input.number) + " " + direction;
}

Bindings parse_bindings(std::string_view text, const std::string& file) {
    Bindings result{.file = file};
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    int number = 0;
    while (!text.empty()) {
        ++number;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        try {
            if (line.find('\0') != std::string_view::npos) throw LineError("a NUL byte: not a text file");
            std::vector<Token> tokens = split(line);
            if (tokens.empty()) continue;
            Reader reader(std::move(tokens));
            Binding binding = input(reader);
            action(reader, binding);
            binding.line = number;
            result.bindings.push_back(std::move(binding));
        } catch (const LineError& error) {
            throw BindingsError(file + ":" + std::to_string(number) + ": " + error.what);
        }
    }
    return result;
}

std::optional<std::filesystem::path> default_bindings_file() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/') {
        return std::filesystem::path(config) / "panelhost" / "controls.cfg";
    }
    if (const char* home = std::getenv("HOME"); home && *home == '/') {
        return std::filesystem::path(home) / ".config" / "panelhost" / "controls.cfg";
    }
    return std::nullopt;
}

Bindings load_bindings(const std::optional<std::filesystem::path>& given) {
    std::optional<std::filesystem::path> file = given;
    if (!file) {
        file = default_bindings_file();
        std::error_code error;
        if (!file || !std::filesystem::exists(*file, error)) return {};
    }
    try {
        return parse_bindings(read_bounded_file(*file, largest_file, "a bindings file"), file->string());
    } catch (const FileReadError& error) {
        throw BindingsError(error.what());
    }
}

void check_bindings(const Bindings& bindings, const controls::PanelControls& controls) {
    for (const Binding& binding : bindings.bindings) {
        const std::string at = bindings.file + ":" + std::to_string(binding.line) + ": ";
        std::vector<std::string> names = binding.controls;
        if (!binding.long_control.empty()) names.push_back(binding.long_control);
        const bool turns = binding.action == Binding::Action::turn || binding.action == Binding::Action::encoder;
        for (const std::string& name : names) {
            const controls::PanelControls::Found found = controls.find(name);
            if (!found.control) throw BindingsError(at + found.problem);
            if (turns && found.control->kind != controls::Control::Kind::ring)
                throw BindingsError(at + "'" + name + "' is pressed, not turned: it is no knob's ring");
        }
    }
}

}  // namespace panel::hardware
