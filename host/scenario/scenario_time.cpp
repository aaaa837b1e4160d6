#include "scenario_time.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace panel::scenario {
namespace {

// Far past any script (the longest runs a few hours); keeps every product finite.
constexpr double longest_time = 1e7;

// Plain decimal digits with an optional fraction: no sign, no exponent, no "inf".
std::optional<double> plain_number(std::string_view text) {
    if (text.empty() || text.front() == '.' || text.back() == '.') return std::nullopt;
    bool point = false;
    for (char c : text) {
        if (c == '.') {
            if (point) return std::nullopt;
            point = true;
        } else if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    double value = 0.0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value <= longest_time)) return std::nullopt;
    return value;
}

struct Unit {
    std::string_view name;
    double seconds;
};
// Largest first; "ms" before "m" so that the longer name is tried first.
constexpr Unit units[] = {{"h", 3600.0}, {"ms", 0.001}, {"m", 60.0}, {"s", 1.0}};

int rank(std::string_view unit) {
    return unit == "h" ? 0 : unit == "m" ? 1 : unit == "s" ? 2 : 3;
}

}  // namespace

std::optional<double> parse_duration(std::string_view text) {
    if (text.empty()) return std::nullopt;
    double total = 0.0;
    int last_rank = -1;
    while (!text.empty()) {
        size_t digits = 0;
        while (digits < text.size() &&
               (std::isdigit(static_cast<unsigned char>(text[digits])) || text[digits] == '.')) {
            ++digits;
        }
        std::optional<double> number = plain_number(text.substr(0, digits));
        if (!number) return std::nullopt;
        text.remove_prefix(digits);
        const Unit* unit = nullptr;
        for (const Unit& candidate : units) {
            if (text.substr(0, candidate.name.size()) == candidate.name) {
                unit = &candidate;
                break;
            }
        }
        if (unit == nullptr || rank(unit->name) <= last_rank) return std::nullopt;
        last_rank = rank(unit->name);
        text.remove_prefix(unit->name.size());
        total += *number * unit->seconds;
    }
    if (!(total <= longest_time)) return std::nullopt;
    return total;
}

std::optional<double> parse_clock(std::string_view text) {
    if (text.find(':') == std::string_view::npos) return parse_duration(text);
    // Parts from the left: [H:]M:SS; every part after the first has two digits, below 60.
    double total = 0.0;
    int parts = 0;
    while (true) {
        size_t colon = text.find(':');
        std::string_view part = text.substr(0, colon);
        const bool last = colon == std::string_view::npos;
        if (part.empty() || (!last && part.find('.') != std::string_view::npos)) return std::nullopt;
        std::optional<double> value = plain_number(part);
        if (!value) return std::nullopt;
        if (parts > 0) {
            const size_t whole = part.find('.') == std::string_view::npos ? part.size() : part.find('.');
            if (whole != 2 || *value >= 60.0) return std::nullopt;
        }
        total = total * 60.0 + *value;
        ++parts;
        if (last) break;
        text.remove_prefix(colon + 1);
    }
    if (parts > 3 || !(total <= longest_time)) return std::nullopt;
    return total;
}

std::string format_clock(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0.0 || seconds > longest_time) return "?";
    const int64_t millis = std::llround(seconds * 1000.0);
    const int64_t hours = millis / 3600000, minutes = millis / 60000 % 60, whole = millis / 1000 % 60;
    const int64_t fraction = millis % 1000;
    char text[48];
    if (hours > 0) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(hours),
                      static_cast<long long>(minutes), static_cast<long long>(whole));
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(minutes), static_cast<long long>(whole));
    }
    std::string result = text;
    if (fraction != 0) {
        std::snprintf(text, sizeof text, ".%03lld", static_cast<long long>(fraction));
        std::string digits = text;
        while (digits.back() == '0') digits.pop_back();
        result += digits;
    }
    return result;
}

int64_t frames_at(double seconds) {
    if (!(seconds > 0.0)) return 0;
    return std::llround(std::fmin(seconds, longest_time) * frames_per_second);
}

}  // namespace panel::scenario
