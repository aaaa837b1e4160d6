#include "session_script.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <optional>

namespace panel::trace {
namespace {

// Splits one line into words; a word that starts with '"' runs to the closing quote, with
// escapes resolved.
class LineReader {
public:
    LineReader(std::string_view line, int number) : line_(line), number_(number) {}

    bool at_end() {
        skip_blanks();
        return pos_ >= line_.size() || line_[pos_] == '#';
    }

    std::string word(const char* what) {
        if (at_end()) fail(std::string("expected ") + what);
        if (line_[pos_] == '"') return quoted();
        size_t start = pos_;
        while (pos_ < line_.size() && line_[pos_] != ' ' && line_[pos_] != '\t') ++pos_;
        return std::string(line_.substr(start, pos_ - start));
    }

    std::string rest() {
        skip_blanks();
        std::string text(line_.substr(pos_));
        pos_ = line_.size();
        return text;
    }

    // Decimal or 0x-prefixed hexadecimal, with an optional minus sign.
    int64_t integer(const char* what) {
        std::string text = word(what);
        bool negative = !text.empty() && text[0] == '-';
        std::string_view digits(text);
        if (negative) digits.remove_prefix(1);
        int base = 10;
        if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
            digits.remove_prefix(2);
            base = 16;
        }
        uint64_t value = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
        if (error != std::errc() || end != digits.data() + digits.size() || digits.empty() ||
            value > 0xFFFFFFFFull) {
            fail("not an integer: " + text);
        }
        return negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    }

    int32_t int32(const char* what) {
        int64_t value = integer(what);
        if (value < INT32_MIN || value > UINT32_MAX) fail("out of 32-bit range");
        // 0x80000000 and above give the negative integer with the same 32 bits.
        return static_cast<int32_t>(static_cast<uint32_t>(value));
    }

    double number() {
        std::string text = word("a number");
        double value = 0.0;
        // from_chars is the same code in both builds, so both read the same bits.
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size()) fail("not a number: " + text);
        return value;
    }

    void done() {
        if (!at_end()) fail("unexpected words after the step");
    }

    [[noreturn]] void fail(const std::string& message) const { throw ScriptError(number_, 0, message); }

private:
    void skip_blanks() {
        while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) ++pos_;
    }

    std::string quoted() {
        std::string text;
        ++pos_;
        while (true) {
            if (pos_ >= line_.size()) fail("unterminated text");
            char c = line_[pos_++];
            if (c == '"') return text;
            if (c != '\\') {
                text += c;
                continue;
            }
            if (pos_ >= line_.size()) fail("unterminated escape");
            char e = line_[pos_++];
            if (e == '\\' || e == '"') {
                text += e;
            } else if (e == 'x' && pos_ + 2 <= line_.size()) {
                unsigned value = 0;
                auto [end, error] = std::from_chars(line_.data() + pos_, line_.data() + pos_ + 2, value, 16);
                if (error != std::errc() || end != line_.data() + pos_ + 2) fail("bad \\x escape");
                text += static_cast<char>(value);
                pos_ += 2;
            } else {
                fail(std::string("unknown escape \\") + e);
            }
        }
    }

    std::string_view line_;
    int number_;
    size_t pos_ = 0;
};

class Parser {
public:
    explicit Parser(const Catalogue& catalogue) : catalogue_(catalogue) {}

    Step step(LineReader& in, const std::string& verb, int line) {
        Step step{};
        step.line = line;
        if (verb == "set") {
            step.kind = StepKind::set_number;
            step.id = variable(in, VariableType::number, "set");
            step.number = in.number();
        } else if (verb == "int") {
            step.kind = StepKind::set_integer;
            step.id = variable(in, VariableType::integer, "int");
            step.integer = in.int32("an integer");
        } else if (verb == "text") {
            step.kind = StepKind::set_text;
            step.id = variable(in, VariableType::text, "text");
            step.text = in.word("a text");
        } else if (verb == "null") {
            step.kind = StepKind::set_null_text;
            step.id = variable(in, VariableType::text, "null");
        } else if (verb == "clear") {
            step.kind = StepKind::clear;
            step.id = variable(in, std::nullopt, "clear");
        } else if (verb == "frame") {
            step.kind = StepKind::frame;
            step.integer = in.at_end() ? 1 : in.int32("a frame count");
            if (step.integer < 1 || step.integer > 100000) in.fail("frame count out of range (1 to 100000)");
            frames_ += step.integer;
            if (frames_ > max_script_frames) {
                in.fail("the script asks for more than " + std::to_string(max_script_frames) + " frames in all");
            }
        } else if (verb == "pre-update") {
            step.kind = StepKind::pre_update;
        } else if (verb == "elements") {
            step.kind = StepKind::elements;
        } else if (verb == "pre-draw") {
            step.kind = StepKind::pre_draw;
        } else if (verb == "service") {
            step.kind = StepKind::service;
            step.integer = in.int32("a service id");
        } else if (verb == "click") {
            step.kind = StepKind::click;
            step.x = in.int32("x");
            step.y = in.int32("y");
        } else if (verb == "area") {
            step.kind = StepKind::click_area;
            step.integer = in.int32("an area number");
        } else if (verb == "note") {
            step.kind = StepKind::note;
            step.text = in.rest();
            return step;
        } else {
            in.fail("unknown step '" + verb + "'");
        }
        in.done();
        return step;
    }

private:
    // A variable by id or by name, of the type the step sets (any type for `clear`).
    uint32_t variable(LineReader& in, std::optional<VariableType> type, const char* verb) {
        const std::string word = in.word("a variable");
        const VariableInfo* info = catalogue_.variable(word);
        if (info == nullptr && !word.empty() && (std::isdigit(static_cast<unsigned char>(word[0])) || word[0] == '-')) {
            uint32_t id = 0;
            auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), id);
            if (error != std::errc() || end != word.data() + word.size()) in.fail("not a variable: " + word);
            info = catalogue_.variable(id);
            if (info == nullptr) in.fail("variable " + word + " is not one the simulator has");
        }
        if (info == nullptr) in.fail("unknown variable '" + word + "'");
        if (type && info->type != *type) {
            in.fail(std::string(verb) + ": variable " + describe_variable(catalogue_, info->id) + " holds " +
                    (info->type == VariableType::integer ? "an " : "a ") + type_name(info->type) + "; use " +
                    (info->type == VariableType::number ? "set" : info->type == VariableType::integer ? "int" : "text or null"));
        }
        return info->id;
    }

    const Catalogue& catalogue_;
    int64_t frames_ = 0;
};

// Tab is a blank; CR only ends a line; every other control character is a mistake.
void check_characters(std::string_view line, int number) {
    for (size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", byte);
            throw ScriptError(number, static_cast<int>(i) + 1, std::string("stray control character ") + code);
        }
    }
}

}  // namespace

ScriptError::ScriptError(int line, int column, const std::string& message)
    : std::runtime_error("line " + std::to_string(line) + (column ? ", column " + std::to_string(column) : "") + ": " +
                         message),
      line_(line),
      column_(column),
      message_(message) {}

std::string ScriptError::located(const std::string& file) const {
    return file + ":" + std::to_string(line_) + (column_ ? ":" + std::to_string(column_) : "") + ": " + message_;
}

std::vector<Step> parse_script(std::string_view source, const Catalogue& catalogue) {
    constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
    if (source.substr(0, byte_order_mark.size()) == byte_order_mark) source.remove_prefix(byte_order_mark.size());
    Parser parser(catalogue);
    std::vector<Step> steps;
    int number = 0;
    while (!source.empty()) {
        size_t end = source.find('\n');
        std::string_view line = source.substr(0, end);
        source = end == std::string_view::npos ? std::string_view() : source.substr(end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        check_characters(line, number);
        LineReader in(line, number);
        if (in.at_end()) continue;
        std::string verb = in.word("a step");
        steps.push_back(parser.step(in, verb, number));
    }
    return steps;
}

}  // namespace panel::trace
