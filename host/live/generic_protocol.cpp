#include "generic_protocol.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "bounded_file.h"
#include "property_client.h"
#include "text_escape.h"
#include "xml_reader.h"

namespace panel::live {
namespace {

// FlightGear's words for separators; anything else is taken literally.
std::string separator(const XmlElement* element) {
    if (element == nullptr) return {};
    const std::string& text = element->text;
    if (text == "newline") return "\n";
    if (text == "tab") return "\t";
    if (text == "space") return " ";
    if (text == "formfeed") return "\f";
    if (text == "carriagereturn") return "\r";
    if (text == "verticaltab") return "\v";
    return text;
}

// The element's text without surrounding blanks.
std::string trimmed(const XmlElement& element) {
    const std::string& text = element.text;
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Which conversion letters print each type.
std::string_view conversions_for(ChunkType type) {
    switch (type) {
        case ChunkType::integer:
        case ChunkType::boolean: return "di";
        case ChunkType::float32:
        case ChunkType::float64: return "fFeEgG";
        case ChunkType::text: return "s";
    }
    return "";
}

// Exactly one conversion, of a letter the type prints, with flags, width and precision but no
// length modifier or '*'; "%%" may stand anywhere. Returns what is wrong, or "".
std::string format_problem(const std::string& format, ChunkType type) {
    int conversions = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        if (i + 1 < format.size() && format[i + 1] == '%') {
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < format.size() && std::string_view("-+ #0").find(format[j]) != std::string_view::npos) ++j;
        while (j < format.size() && (std::isdigit(static_cast<unsigned char>(format[j])) || format[j] == '.')) ++j;
        if (j >= format.size() || conversions_for(type).find(format[j]) == std::string_view::npos) {
            std::string letters;
            for (char letter : conversions_for(type)) letters += std::string(letters.empty() ? "%" : " %") + letter;
            return "format " + quote_text(format) + " does not print a value of type " + chunk_type_word(type) +
                   " (one of " + letters + ")";
        }
        ++conversions;
        i = j;
    }
    if (conversions != 1) return "format " + quote_text(format) + " must print the value exactly once";
    return "";
}

ChunkType chunk_type(const XmlElement* element, const std::string& where) {
    if (element == nullptr) return ChunkType::integer;  // FlightGear's default
    const std::string word = trimmed(*element);
    if (word == "int") return ChunkType::integer;
    if (word == "float") return ChunkType::float32;
    if (word == "double") return ChunkType::float64;
    if (word == "bool") return ChunkType::boolean;
    if (word == "string") return ChunkType::text;
    throw ProtocolError(where + std::to_string(element->line) + ": chunk type " + quote_text(word) +
                        " is not one of int, float, double, bool, string");
}

}  // namespace

const char* chunk_type_word(ChunkType type) {
    switch (type) {
        case ChunkType::integer: return "int";
        case ChunkType::float32: return "float";
        case ChunkType::float64: return "double";
        case ChunkType::boolean: return "bool";
        case ChunkType::text: return "string";
    }
    return "?";
}

int Protocol::chunk_index(std::string_view name) const {
    for (size_t i = 0; i < chunks.size(); ++i) {
        if (chunks[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

Protocol parse_protocol(std::string_view text, const std::string& file) {
    const std::string where = file + ":";
    std::unique_ptr<XmlElement> root;
    try {
        root = parse_xml(text);
    } catch (const XmlError& error) {
        throw ProtocolError(where + std::to_string(error.line()) + ": " + error.message());
    }
    const auto at = [&](const XmlElement& element) { return where + std::to_string(element.line) + ": "; };
    if (root->name != "PropertyList") throw ProtocolError(at(*root) + "the root element must be <PropertyList>");
    const XmlElement* generic = root->child("generic");
    const XmlElement* output = generic ? generic->child("output") : nullptr;
    if (output == nullptr) throw ProtocolError(where + " no <generic><output> section");

    Protocol protocol;
    protocol.file = file;
    if (const XmlElement* binary = output->child("binary_mode"); binary && trimmed(*binary) == "true") {
        throw ProtocolError(at(*binary) + "binary mode is not read: panelhost reads the text mode");
    }
    protocol.var_separator = separator(output->child("var_separator"));
    protocol.line_separator = separator(output->child("line_separator"));
    if (protocol.var_separator.empty()) {
        throw ProtocolError(at(*output) + "<var_separator> is missing or empty: the chunks could not be told apart");
    }
    for (const auto& element : output->children) {
        if (element->name != "chunk") continue;
        const XmlElement& chunk_element = *element;
        Chunk chunk;
        chunk.line = chunk_element.line;
        const XmlElement* name = chunk_element.child("name");
        const XmlElement* node = chunk_element.child("node");
        if (name == nullptr || trimmed(*name).empty())
            throw ProtocolError(at(chunk_element) + "a chunk without a <name>");
        chunk.name = trimmed(*name);
        // Names are echoed in every later message about the chunk, so they stay on one line.
        if (std::any_of(chunk.name.begin(), chunk.name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
            throw ProtocolError(at(*name) + "chunk " + quote_text(chunk.name) + ": <name> holds a control character");
        if (node == nullptr || trimmed(*node).empty()) {
            throw ProtocolError(at(chunk_element) + "chunk " + chunk.name +
                                " has no <node>: a constant chunk is not read");
        }
        chunk.node = trimmed(*node);
        if (const std::string problem = property_path_problem(chunk.node); !problem.empty()) {
            throw ProtocolError(at(*node) + "chunk " + chunk.name + ": <node> holds " + problem +
                                "; a property path has no blanks or control characters");
        }
        if (chunk_element.child("factor") || chunk_element.child("offset")) {
            throw ProtocolError(at(chunk_element) + "chunk " + chunk.name +
                                ": <factor> and <offset> are not read: panelhost converts the units itself");
        }
        chunk.type = chunk_type(chunk_element.child("type"), where);
        const XmlElement* format = chunk_element.child("format");
        chunk.format = format ? format->text : "%d";
        if (const std::string problem = format_problem(chunk.format, chunk.type); !problem.empty()) {
            throw ProtocolError(at(format ? *format : chunk_element) + "chunk " + chunk.name + ": " + problem);
        }
        if (protocol.chunk_index(chunk.name) >= 0)
            throw ProtocolError(at(chunk_element) + "a second chunk named " + chunk.name);
        protocol.chunks.push_back(std::move(chunk));
    }
    if (protocol.chunks.empty()) throw ProtocolError(at(*output) + "the output section has no chunk");
    return protocol;
}

Protocol read_protocol(const std::filesystem::path& file) {
    std::string text;
    try {
        text = read_bounded_file(file, 1u << 20, "a protocol file");
    } catch (const FileReadError& error) {
        throw ProtocolError(error.what());
    }
    return parse_protocol(text, file.string());
}

std::string format_chunk(const Chunk& chunk, double number, std::string_view text) {
    char buffer[512];
    int length = 0;
    // The format was checked when the file was read: one conversion of the chunk's type.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    switch (chunk.type) {
        case ChunkType::integer:
        case ChunkType::boolean:
            length = std::snprintf(buffer, sizeof buffer, chunk.format.c_str(), static_cast<int>(number));
            break;
        case ChunkType::float32:
            length = std::snprintf(buffer, sizeof buffer, chunk.format.c_str(),
                                   static_cast<double>(static_cast<float>(number)));
            break;
        case ChunkType::float64: length = std::snprintf(buffer, sizeof buffer, chunk.format.c_str(), number); break;
        case ChunkType::text:
            length = std::snprintf(buffer, sizeof buffer, chunk.format.c_str(), std::string(text).c_str());
            break;
    }
#pragma GCC diagnostic pop
    if (length < 0) return {};
    return std::string(buffer, std::min<size_t>(static_cast<size_t>(length), sizeof buffer - 1));
}

}  // namespace panel::live
