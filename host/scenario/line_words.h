// The words of one line of a script, as the parser reads them: blanks between words, '#' to the
// end of the line a comment, a word that starts with '"' running to its closing quote with its
// escapes resolved, and every mistake a ScriptError at the line (and column).
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "scenario_script.h"

namespace panel::scenario {

// A number as messages show it: "%g".
inline std::string short_number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Splits one line into words; a word that starts with '"' runs to the closing quote, with
// escapes resolved.
class LineWords {
public:
    LineWords(std::string_view line, int number) : line_(line), number_(number) {}

    bool at_end() {
        skip_blanks();
        return pos_ >= line_.size() || line_[pos_] == '#';
    }

    std::string word(const char* what) {
        if (at_end()) fail(std::string("expected ") + what);
        last_quoted_ = line_[pos_] == '"';
        if (last_quoted_) return quoted();
        size_t start = pos_;
        while (pos_ < line_.size() && line_[pos_] != ' ' && line_[pos_] != '\t') ++pos_;
        return std::string(line_.substr(start, pos_ - start));
    }

    // Whether the last word read was written in quotes.
    bool last_quoted() const { return last_quoted_; }

    std::string rest() {
        skip_blanks();
        std::string text(line_.substr(pos_));
        pos_ = line_.size();
        return text;
    }

    // Decimal or 0x-prefixed hexadecimal, with an optional minus sign.
    int64_t integer(const char* what) { return integer_of(word(what)); }

    int64_t integer_of(const std::string& text) const {
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
        if (error != std::errc() || end != digits.data() + digits.size() || digits.empty() || value > 0xFFFFFFFFull) {
            fail("not an integer: " + text);
        }
        return negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    }

    int32_t int32(const char* what) { return int32_of(word(what)); }

    int32_t int32_of(const std::string& text) const {
        int64_t value = integer_of(text);
        if (value < INT32_MIN || value > UINT32_MAX) fail("out of 32-bit range");
        // 0x80000000 and above give the negative integer with the same 32 bits.
        return static_cast<int32_t>(static_cast<uint32_t>(value));
    }

    double number(const char* what = "a number") { return parse_number(word(what)); }

    double parse_number(const std::string& text) const {
        double value = 0.0;
        // from_chars is the same code in both builds, so both read the same bits.
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size()) fail("not a number: " + text);
        return value;
    }

    // A finite number within [low, high], for the world and the autopilot.
    double number_in(const char* what, double low, double high) {
        const std::string text = word(what);
        const double value = parse_number(text);
        if (!(value >= low && value <= high)) {
            fail(std::string(what) + " " + text + " out of range (" + short_number(low) + " to " + short_number(high) +
                 ")");
        }
        return value;
    }

    double finite_number(const char* what) {
        const std::string text = word(what);
        const double value = parse_number(text);
        if (!std::isfinite(value)) fail(std::string(what) + " " + text + " is not a finite number");
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
    bool last_quoted_ = false;
};

}  // namespace panel::scenario
