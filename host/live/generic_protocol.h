// FlightGear's generic protocol, text mode: the output section of a protocol file as FlightGear
// reads it (the separators and one chunk per value, in order), the file reader, and the
// formatting of one value by its chunk, as FlightGear prints it.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace panel::live {

// A protocol file that cannot be used: "FILE:LINE: what" or "FILE: what".
class ProtocolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ChunkType { integer, float32, float64, boolean, text };

// The type's word in a protocol file: int, float, double, bool, string.
const char* chunk_type_word(ChunkType type);

struct Chunk {
    std::string name;  // what panelhost knows the value by
    std::string node;  // the property path it is read from
    ChunkType type = ChunkType::integer;
    std::string format;  // printf style, one conversion; "%d" when the file gives none
    int line = 0;
};

struct Protocol {
    std::string file;            // for messages
    std::string var_separator;   // between two chunks; never empty
    std::string line_separator;  // after the last; may be empty
    std::vector<Chunk> chunks;

    // The position of the chunk of that name, or -1.
    int chunk_index(std::string_view name) const;
};

// `file` names the text in messages. Throws ProtocolError for a file FlightGear would read
// differently from panelhost or not at all: binary mode, <factor>/<offset>, a type other than the
// five, a format that is not one conversion for its type, no chunk, an empty var_separator.
Protocol parse_protocol(std::string_view text, const std::string& file);
Protocol read_protocol(const std::filesystem::path& file);

// One value as FlightGear prints it by the chunk's format (a fake simulator and the recording
// maker write with this): numbers for int, float, double and bool (0 or 1), `text` for string.
std::string format_chunk(const Chunk& chunk, double number, std::string_view text = {});

}  // namespace panel::live
