#include "datagram.h"

#include <charconv>
#include <cmath>

namespace panel::live {
namespace {

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view blanks = " \t\r\n\f\v";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool whole_number(std::string_view text, double& into) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    into = static_cast<double>(value);
    return true;
}

bool real_number(std::string_view text, double& into) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), into);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(into);
}

// "" or what is wrong with `field` as a value of `chunk`.
std::string read_value(const Chunk& chunk, std::string_view field, ChunkValue& value) {
    const std::string_view text = trimmed(field);
    const auto not_a = [&](const char* what) {
        // Shown as printable text, however garbled.
        std::string shown(text.substr(0, 24));
        for (char& c : shown) {
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) c = '?';
        }
        return "chunk " + chunk.name + ": \"" + shown + "\" is not " + what;
    };
    switch (chunk.type) {
        case ChunkType::integer:
            if (!whole_number(text, value.number)) return not_a("a whole number");
            return "";
        case ChunkType::float32:
        case ChunkType::float64:
            if (!real_number(text, value.number)) return not_a("a finite number");
            return "";
        case ChunkType::boolean:
            if (text == "1" || text == "true") value.number = 1.0;
            else if (text == "0" || text == "false") value.number = 0.0;
            else return not_a("0 or 1");
            return "";
        case ChunkType::text:
            if (text.size() > max_text_chunk_bytes) return "chunk " + chunk.name + ": a text longer than 64 bytes";
            for (char c : text) {
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                    return "chunk " + chunk.name + ": a control character in the text";
            }
            value.text.assign(text);
            return "";
    }
    return "?";
}

}  // namespace

std::string DatagramParser::parse(std::string_view datagram, std::vector<ChunkValue>& values) const {
    if (datagram.empty()) return "empty";
    if (datagram.size() > max_datagram_bytes) return "longer than " + std::to_string(max_datagram_bytes) + " bytes";
    const std::string& line_end = protocol_.line_separator;
    if (!line_end.empty()) {
        if (!datagram.ends_with(line_end)) return "cut short: no line separator at its end";
        datagram.remove_suffix(line_end.size());
    }
    const std::string& separator = protocol_.var_separator;
    const size_t expected = protocol_.chunks.size();
    values.resize(expected);
    size_t index = 0;
    size_t start = 0;
    while (true) {
        const size_t end = datagram.find(separator, start);
        const std::string_view field =
            datagram.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (index >= expected) return "too many chunks: more than " + std::to_string(expected);
        if (std::string problem = read_value(protocol_.chunks[index], field, values[index]); !problem.empty())
            return problem;
        ++index;
        if (end == std::string_view::npos) break;
        start = end + separator.size();
    }
    if (index < expected) return "too few chunks: " + std::to_string(index) + " of " + std::to_string(expected);
    return "";
}

}  // namespace panel::live
