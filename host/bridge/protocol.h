// The bridge's messages: what a panel host and the bridge process that runs a Windows gauge
// module say to each other over a pair of pipes. Plain C++, built into both.
//
// Every message is one frame of little-endian 32-bit words: its length (the bytes after the
// length word), the protocol version, the message kind, then the kind's fields. Doubles travel
// as their raw 64 bits, so that what the host draws and traces is bit for bit what the module
// computed; texts travel by value. Decoding is bounded everywhere: a count or a length larger
// than what is left of the message, an unknown kind, a wrong version or bytes left over are a
// ProtocolError, never a read past the end.
//
// The exchange: the bridge opens with `ready` (the gauge's records, its record dump and its
// element states) or `failed`. Then the host asks, the bridge answers each request with `done`
// (the logs of the phases it ran and the element states after them) or `failed`, until the host
// says `quit` or closes the pipe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "event_log.h"
#include "gauge_instance.h"
#include "variable_store.h"

namespace panel::bridge {

constexpr uint32_t protocol_version = 1;
// The length word, the version word and the kind word.
constexpr size_t header_bytes = 12;
// Far more than the largest gauge's records; a length past it is garbage, not a message.
constexpr uint32_t max_message_bytes = 8u << 20;
// A click request naming no area: the bridge finds the area under the point itself.
constexpr uint32_t area_at_point = 0xffffffffu;

class ProtocolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Kind : uint32_t {
    // The bridge's.
    ready = 1,
    done = 2,
    failed = 3,
    // The host's.
    open = 16,
    close = 17,
    service = 18,   // the gauge callback with one service id
    elements = 19,  // the element pass
    frame = 20,     // pre-update, the element pass, pre-draw
    click = 21,
    quit = 22,
};

const char* kind_name(Kind kind);

// Why the bridge could not do what it was asked.
enum class Failure : uint32_t {
    module = 1,   // the module cannot be loaded or bound
    gauge = 2,    // a call into the gauge failed (a service could not answer)
    request = 3,  // the request itself was malformed
};

// One simulator variable as the host holds it.
struct VariableValue {
    enum class Type : uint8_t { number = 0, integer = 1, text = 2, null_text = 3 };
    uint32_t id = 0;
    Type type = Type::number;
    double number = 0.0;
    int32_t integer = 0;
    std::string text;
    bool operator==(const VariableValue&) const = default;
};

// The value of every variable of the store's catalogue, as a gauge would read it.
std::vector<VariableValue> variables_of(const VariableStore& store);
// Sets each value in `store`; throws VariableError for one it does not hold with that type.
void apply_variables(std::span<const VariableValue> values, VariableStore& store);

struct Request {
    Kind kind = Kind::frame;
    int32_t service_id = 0;                // service
    uint32_t area = area_at_point;         // click: an index in the mouse list, or area_at_point
    uint32_t event_class = 0;              // click
    int32_t x = 0, y = 0;                  // click, in gauge pixels
    std::vector<VariableValue> variables;  // set before the call: only those that changed
};

struct Ready {
    GaugeRecords records;
    std::vector<std::string> record_lines;
    std::vector<ElementState> states;
};

// How many phase logs a `done` for each request carries.
size_t phase_count(Kind request);

// A message as read off the stream: its kind and its fields, still encoded.
struct Message {
    Kind kind;
    std::vector<uint8_t> payload;
};

// Writes one message. Fields are added in order, then bytes() gives the whole frame.
class Writer {
public:
    explicit Writer(Kind kind);

    void u8(uint8_t value) { bytes_.push_back(value); }
    void u32(uint32_t value);
    void i32(int32_t value) { u32(static_cast<uint32_t>(value)); }
    void u64(uint64_t value);
    void f64(double value);
    void string(std::string_view text);

    // The frame, its length word filled in.
    const std::vector<uint8_t>& bytes();

private:
    std::vector<uint8_t> bytes_;
};

// Reads the fields of one message's payload; every read is checked against what is left.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> payload) : bytes_(payload) {}

    uint8_t u8();
    uint32_t u32();
    int32_t i32() { return static_cast<int32_t>(u32()); }
    uint64_t u64();
    double f64();
    std::string string(size_t max_bytes = max_message_bytes);
    // A count of entries that each take at least `min_entry_bytes`: more than could fit in
    // what is left is refused before anything is allocated for them.
    size_t count(size_t min_entry_bytes);
    // Throws unless the whole payload was read.
    void finish() const;
    size_t left() const { return bytes_.size() - at_; }

private:
    std::span<const uint8_t> take(size_t n);

    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
};

// The kind and payload length a header announces; throws for a wrong version or a length out
// of bounds.
struct Header {
    Kind kind;
    uint32_t payload_bytes;
};
Header read_header(std::span<const uint8_t, header_bytes> bytes);

// Whole messages, one function a side.
std::vector<uint8_t> encode(const Request& request);
Request decode_request(const Message& message);

std::vector<uint8_t> encode_ready(const GaugeRecords& records, const std::vector<std::string>& record_lines,
                                  const std::vector<ElementState>& states);
Ready decode_ready(const Message& message);

std::vector<uint8_t> encode_done(std::span<const EventLog* const> logs, const std::vector<ElementState>& states);
// Appends each phase's log to `logs` (as many as the message holds: it must be logs.size())
// and replaces `states`, whose count must stay what the records gave.
void decode_done(const Message& message, std::span<EventLog* const> logs, std::vector<ElementState>& states);

std::vector<uint8_t> encode_failed(Failure failure, std::string_view text);
struct Failed {
    Failure failure;
    std::string text;
};
Failed decode_failed(const Message& message);

}  // namespace panel::bridge
