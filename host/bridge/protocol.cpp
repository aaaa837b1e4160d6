#include "protocol.h"

#include <bit>
#include <cstring>
#include <type_traits>

#include "little_endian.h"

namespace panel::bridge {
namespace {

// The fewest bytes one entry of each list takes, for bounding counts.
constexpr size_t variable_min_bytes = 4 + 1 + 4;
// By type, with no value made: a std::string is no constant for every compiler.
template <typename T>
constexpr size_t wire_bytes() {
    if constexpr (std::is_same_v<T, double>) return 8;
    else if constexpr (std::is_same_v<T, bool>) return 1;
    else return 4;  // 32-bit words, and the length word of an empty text
}
#define PANEL_WIRE_BYTES(member, ...) +wire_bytes<decltype(ElementRecord::member)>()
constexpr size_t element_record_min_bytes = 0 PANEL_ELEMENT_RECORD_FIELDS(PANEL_WIRE_BYTES);
#undef PANEL_WIRE_BYTES
#define PANEL_WIRE_BYTES(member) +wire_bytes<decltype(MouseAreaRecord::member)>()
constexpr size_t area_min_bytes = 0 PANEL_MOUSE_AREA_RECORD_FIELDS(PANEL_WIRE_BYTES);
#undef PANEL_WIRE_BYTES
constexpr size_t line_min_bytes = 4;
constexpr size_t state_min_bytes = 4 + 8 + 8 + 1;
constexpr size_t cue_min_bytes = 4 + 4;

void put_variables(Writer& out, const std::vector<VariableValue>& values) {
    out.u32(static_cast<uint32_t>(values.size()));
    for (const VariableValue& value : values) {
        out.u32(value.id);
        out.u8(static_cast<uint8_t>(value.type));
        switch (value.type) {
            case VariableValue::Type::number: out.f64(value.number); break;
            case VariableValue::Type::integer: out.i32(value.integer); break;
            case VariableValue::Type::text: out.string(value.text); break;
            case VariableValue::Type::null_text: out.u32(0); break;
        }
    }
}

std::vector<VariableValue> get_variables(Reader& in) {
    std::vector<VariableValue> values(in.count(variable_min_bytes));
    for (VariableValue& value : values) {
        value.id = in.u32();
        const uint8_t type = in.u8();
        switch (type) {
            // clang-format off
            case 0: value.type = VariableValue::Type::number; value.number = in.f64(); break;
            case 1: value.type = VariableValue::Type::integer; value.integer = in.i32(); break;
            case 2: value.type = VariableValue::Type::text; value.text = in.string(); break;
            // clang-format on
            case 3:
                value.type = VariableValue::Type::null_text;
                if (in.u32() != 0) throw ProtocolError("a null text variable carries a value");
                break;
            default:
                throw ProtocolError("variable " + std::to_string(value.id) + " has no type " + std::to_string(type));
        }
    }
    return values;
}

void put_states(Writer& out, const std::vector<ElementState>& states) {
    out.u32(static_cast<uint32_t>(states.size()));
    for (const ElementState& state : states) {
        out.u32(state.flags);
        out.f64(state.value);
        out.f64(state.y_value);
        // The text up to its last non-zero byte: the rest of the buffer is zero on both sides.
        size_t length = state.text.size();
        while (length > 0 && state.text[length - 1] == '\0') --length;
        out.u8(static_cast<uint8_t>(length));
        for (size_t i = 0; i < length; ++i) out.u8(static_cast<uint8_t>(state.text[i]));
    }
}

// `expected`: the count the records gave, checked before anything is changed.
void get_states(Reader& in, std::vector<ElementState>& states, std::optional<size_t> expected) {
    const size_t count = in.count(state_min_bytes);
    if (expected && count != *expected) {
        throw ProtocolError(std::to_string(count) + " element states for " + std::to_string(*expected) + " elements");
    }
    states.resize(count);
    for (ElementState& state : states) {
        state.flags = in.u32();
        state.value = in.f64();
        state.y_value = in.f64();
        const uint8_t length = in.u8();
        // The last byte always stays NUL: a text is bounded however it arrives.
        if (length >= state.text.size()) throw ProtocolError("an element text of " + std::to_string(length) + " bytes");
        state.text.fill('\0');
        for (size_t i = 0; i < length; ++i) state.text[i] = static_cast<char>(in.u8());
    }
}

void put_log(Writer& out, const EventLog& log) {
    out.u32(static_cast<uint32_t>(log.lookups().size()));
    for (uint32_t id : log.lookups()) out.u32(id);
    out.u32(static_cast<uint32_t>(log.events().size()));
    for (const KeyEvent& event : log.events()) {
        out.u32(event.id);
        out.u32(event.value);
    }
    out.u32(static_cast<uint32_t>(log.cues().size()));
    for (const CueRequest& cue : log.cues()) {
        out.string(cue.path);
        out.u32(cue.flags);
    }
    out.u64(log.dropped());
}

void get_log(Reader& in, EventLog& log) {
    const size_t lookups = in.count(4);
    for (size_t i = 0; i < lookups; ++i) log.record_lookup(in.u32());
    const size_t events = in.count(8);
    for (size_t i = 0; i < events; ++i) {
        const uint32_t id = in.u32();
        log.record_event(id, in.u32());
    }
    const size_t cues = in.count(cue_min_bytes);
    for (size_t i = 0; i < cues; ++i) {
        std::string path = in.string(4096);
        log.record_cue(std::move(path), in.u32());
    }
    const uint64_t dropped = in.u64();
    if (dropped > (uint64_t{1} << 48))
        throw ProtocolError("a log that dropped " + std::to_string(dropped) + " entries");
    log.add_dropped(static_cast<size_t>(dropped));
}

// A record's fields on the wire, by their types.
// clang-format off
void put(Writer& out, bool value) { out.u8(value ? 1 : 0); }
void put(Writer& out, uint32_t value) { out.u32(value); }
void put(Writer& out, int32_t value) { out.i32(value); }
void put(Writer& out, double value) { out.f64(value); }
void put(Writer& out, const std::string& text) { out.string(text); }
void get(Reader& in, bool& value) {
    const uint8_t byte = in.u8();
    if (byte > 1) throw ProtocolError("a flag byte of " + std::to_string(byte));
    value = byte == 1;
}
void get(Reader& in, uint32_t& value) { value = in.u32(); }
void get(Reader& in, int32_t& value) { value = in.i32(); }
void get(Reader& in, double& value) { value = in.f64(); }
void get(Reader& in, std::string& text) { text = in.string(256); }
// clang-format on

void put_element(Writer& out, const ElementRecord& e) {
#define PANEL_PUT_FIELD(member, ...) put(out, e.member);
    PANEL_ELEMENT_RECORD_FIELDS(PANEL_PUT_FIELD)
#undef PANEL_PUT_FIELD
}

ElementRecord get_element(Reader& in) {
    ElementRecord e;
#define PANEL_GET_FIELD(member, ...) get(in, e.member);
    PANEL_ELEMENT_RECORD_FIELDS(PANEL_GET_FIELD)
#undef PANEL_GET_FIELD
    return e;
}

void put_area(Writer& out, const MouseAreaRecord& a) {
#define PANEL_PUT_FIELD(member) put(out, a.member);
    PANEL_MOUSE_AREA_RECORD_FIELDS(PANEL_PUT_FIELD)
#undef PANEL_PUT_FIELD
}

MouseAreaRecord get_area(Reader& in) {
    MouseAreaRecord a;
#define PANEL_GET_FIELD(member) get(in, a.member);
    PANEL_MOUSE_AREA_RECORD_FIELDS(PANEL_GET_FIELD)
#undef PANEL_GET_FIELD
    return a;
}

void expect_kind(const Message& message, Kind kind) {
    if (message.kind != kind) {
        throw ProtocolError(std::string("expected ") + kind_name(kind) + ", got " + kind_name(message.kind));
    }
}

}  // namespace

const char* kind_name(Kind kind) {
    switch (kind) {
        case Kind::ready: return "ready";
        case Kind::done: return "done";
        case Kind::failed: return "failed";
        case Kind::open: return "open";
        case Kind::close: return "close";
        case Kind::service: return "service";
        case Kind::elements: return "elements";
        case Kind::frame: return "frame";
        case Kind::click: return "click";
        case Kind::quit: return "quit";
    }
    return "an unknown kind";
}

size_t phase_count(Kind request) {
    return request == Kind::frame ? 3 : 1;
}

std::vector<VariableValue> variables_of(const VariableStore& store) {
    std::vector<VariableValue> values;
    values.reserve(store.catalogue().variables().size());
    for (const VariableInfo& info : store.catalogue().variables()) {
        VariableValue value;
        value.id = info.id;
        switch (info.type) {
            case VariableType::number:
                value.type = VariableValue::Type::number;
                value.number = store.number(info.id);
                break;
            case VariableType::integer:
                value.type = VariableValue::Type::integer;
                value.integer = store.integer(info.id);
                break;
            case VariableType::text:
                if (const std::optional<std::string_view> text = store.text(info.id)) {
                    value.type = VariableValue::Type::text;
                    value.text = *text;
                } else {
                    value.type = VariableValue::Type::null_text;
                }
                break;
        }
        values.push_back(std::move(value));
    }
    return values;
}

void apply_variables(std::span<const VariableValue> values, VariableStore& store) {
    for (const VariableValue& value : values) {
        switch (value.type) {
            case VariableValue::Type::number: store.set_number(value.id, value.number); break;
            case VariableValue::Type::integer: store.set_integer(value.id, value.integer); break;
            case VariableValue::Type::text: store.set_text(value.id, value.text); break;
            case VariableValue::Type::null_text: store.set_null_text(value.id); break;
        }
    }
}

Writer::Writer(Kind kind) {
    bytes_.reserve(512);
    u32(0);  // the length, filled in by bytes()
    u32(protocol_version);
    u32(static_cast<uint32_t>(kind));
}

void Writer::u32(uint32_t value) {
    little_endian::append(bytes_, value, 4);
}

void Writer::u64(uint64_t value) {
    little_endian::append(bytes_, value, 8);
}

void Writer::f64(double value) {
    u64(std::bit_cast<uint64_t>(value));
}

void Writer::string(std::string_view text) {
    u32(static_cast<uint32_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
}

const std::vector<uint8_t>& Writer::bytes() {
    const auto length = static_cast<uint32_t>(bytes_.size() - 4);
    for (int i = 0; i < 4; ++i) bytes_[i] = static_cast<uint8_t>(length >> (8 * i));
    return bytes_;
}

std::span<const uint8_t> Reader::take(size_t n) {
    if (n > left()) {
        throw ProtocolError("the message ends " + std::to_string(n - left()) + " bytes early (at byte " +
                            std::to_string(at_) + " of " + std::to_string(bytes_.size()) + ")");
    }
    std::span<const uint8_t> taken = bytes_.subspan(at_, n);
    at_ += n;
    return taken;
}

uint8_t Reader::u8() {
    return take(1)[0];
}

uint32_t Reader::u32() {
    return little_endian::u32(take(4), 0);
}

uint64_t Reader::u64() {
    return little_endian::u64(take(8), 0);
}

double Reader::f64() {
    return std::bit_cast<double>(u64());
}

std::string Reader::string(size_t max_bytes) {
    const uint32_t length = u32();
    if (length > max_bytes) throw ProtocolError("a text of " + std::to_string(length) + " bytes");
    std::span<const uint8_t> b = take(length);
    return std::string(b.begin(), b.end());
}

size_t Reader::count(size_t min_entry_bytes) {
    const uint32_t n = u32();
    if (n > left() / min_entry_bytes) {
        throw ProtocolError("a count of " + std::to_string(n) + " where " + std::to_string(left()) + " bytes are left");
    }
    return n;
}

void Reader::finish() const {
    if (left() != 0) throw ProtocolError(std::to_string(left()) + " bytes past the end of the message");
}

Header read_header(std::span<const uint8_t, header_bytes> bytes) {
    Reader in(bytes);
    const uint32_t length = in.u32();
    const uint32_t version = in.u32();
    const uint32_t kind = in.u32();
    if (version != protocol_version) {
        throw ProtocolError("protocol version " + std::to_string(version) + ", not " +
                            std::to_string(protocol_version));
    }
    if (length < 8 || length > max_message_bytes) throw ProtocolError("a message length of " + std::to_string(length));
    const bool known = (kind >= 1 && kind <= 3) || (kind >= 16 && kind <= 22);
    if (!known) throw ProtocolError("unknown message kind " + std::to_string(kind));
    return {static_cast<Kind>(kind), length - 8};
}

std::vector<uint8_t> encode(const Request& request) {
    Writer out(request.kind);
    switch (request.kind) {
        case Kind::service: out.i32(request.service_id); break;
        case Kind::click:
            out.u32(request.area);
            out.u32(request.event_class);
            out.i32(request.x);
            out.i32(request.y);
            break;
        case Kind::open:
        case Kind::close:
        case Kind::elements:
        case Kind::frame: break;
        case Kind::quit: return out.bytes();
        default: throw ProtocolError(std::string(kind_name(request.kind)) + " is not a request");
    }
    put_variables(out, request.variables);
    return out.bytes();
}

Request decode_request(const Message& message) {
    Request request;
    request.kind = message.kind;
    Reader in(message.payload);
    switch (message.kind) {
        case Kind::service: request.service_id = in.i32(); break;
        case Kind::click:
            request.area = in.u32();
            request.event_class = in.u32();
            request.x = in.i32();
            request.y = in.i32();
            break;
        case Kind::open:
        case Kind::close:
        case Kind::elements:
        case Kind::frame: break;
        case Kind::quit: in.finish(); return request;
        default: throw ProtocolError(std::string(kind_name(message.kind)) + " is not a request");
    }
    request.variables = get_variables(in);
    in.finish();
    return request;
}

std::vector<uint8_t> encode_ready(const GaugeRecords& records, const std::vector<std::string>& record_lines,
                                  const std::vector<ElementState>& states) {
    Writer out(Kind::ready);
    out.string(records.module);
    out.string(records.name);
    out.u32(records.size_value);
    out.u32(static_cast<uint32_t>(records.elements.size()));
    for (const ElementRecord& element : records.elements) put_element(out, element);
    out.u32(static_cast<uint32_t>(records.mouse_areas.size()));
    for (const MouseAreaRecord& area : records.mouse_areas) put_area(out, area);
    out.u32(static_cast<uint32_t>(record_lines.size()));
    for (const std::string& line : record_lines) out.string(line);
    put_states(out, states);
    return out.bytes();
}

Ready decode_ready(const Message& message) {
    expect_kind(message, Kind::ready);
    Reader in(message.payload);
    Ready ready;
    ready.records.module = in.string(4096);
    ready.records.name = in.string(4096);
    ready.records.size_value = in.u32();
    const size_t elements = in.count(element_record_min_bytes);
    for (size_t i = 0; i < elements; ++i) ready.records.elements.push_back(get_element(in));
    const size_t areas = in.count(area_min_bytes);
    for (size_t i = 0; i < areas; ++i) ready.records.mouse_areas.push_back(get_area(in));
    const size_t lines = in.count(line_min_bytes);
    for (size_t i = 0; i < lines; ++i) ready.record_lines.push_back(in.string());
    get_states(in, ready.states, ready.records.elements.size());
    in.finish();
    return ready;
}

std::vector<uint8_t> encode_done(std::span<const EventLog* const> logs, const std::vector<ElementState>& states) {
    Writer out(Kind::done);
    out.u32(static_cast<uint32_t>(logs.size()));
    for (const EventLog* log : logs) put_log(out, *log);
    put_states(out, states);
    return out.bytes();
}

void decode_done(const Message& message, std::span<EventLog* const> logs, std::vector<ElementState>& states) {
    expect_kind(message, Kind::done);
    Reader in(message.payload);
    const uint32_t count = in.u32();
    if (count != logs.size()) {
        throw ProtocolError(std::to_string(count) + " phase logs where " + std::to_string(logs.size()) +
                            " were asked for");
    }
    for (EventLog* log : logs) get_log(in, *log);
    get_states(in, states, states.size());
    in.finish();
}

std::vector<uint8_t> encode_failed(Failure failure, std::string_view text) {
    Writer out(Kind::failed);
    out.u32(static_cast<uint32_t>(failure));
    out.string(text);
    return out.bytes();
}

Failed decode_failed(const Message& message) {
    expect_kind(message, Kind::failed);
    Reader in(message.payload);
    const uint32_t failure = in.u32();
    if (failure < 1 || failure > 3) throw ProtocolError("unknown failure " + std::to_string(failure));
    Failed failed{static_cast<Failure>(failure), in.string(4096)};
    in.finish();
    return failed;
}

}  // namespace panel::bridge
