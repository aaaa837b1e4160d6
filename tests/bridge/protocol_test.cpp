// The bridge's messages: every kind survives a round trip bit for bit, and every malformed or
// cut-off message is refused with a ProtocolError instead of being read past its end.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "protocol.h"
#include "simulator_catalogue.h"

namespace panel::bridge {
namespace {

// A frame's bytes split into the header's kind and the payload, as the reader hands them on.
Message message_of(const std::vector<uint8_t>& frame) {
    std::array<uint8_t, header_bytes> header{};
    std::memcpy(header.data(), frame.data(), header_bytes);
    const Header head = read_header(header);
    EXPECT_EQ(head.payload_bytes, frame.size() - header_bytes);
    return {head.kind, std::vector<uint8_t>(frame.begin() + header_bytes, frame.end())};
}

uint64_t bits(double value) {
    return std::bit_cast<uint64_t>(value);
}

std::vector<VariableValue> sample_variables() {
    std::vector<VariableValue> values(5);
    values[0] = {.id = 7, .type = VariableValue::Type::number, .number = -0.0};
    values[1] = {.id = 8, .type = VariableValue::Type::number, .number = std::numeric_limits<double>::quiet_NaN()};
    values[2] = {.id = 9, .type = VariableValue::Type::integer, .integer = -123456};
    values[3] = {.id = 10, .type = VariableValue::Type::text, .text = std::string("K\0PAE", 5)};
    values[4] = {.id = 11, .type = VariableValue::Type::null_text};
    return values;
}

GaugeRecords sample_records() {
    GaugeRecords records;
    records.module = "C:\\gauges\\x.gau";
    records.name = "GPS";
    records.size_value = 485;
    ElementRecord string;
    string.kind = 1;
    string.resource_id = 0x1234;
    string.x = -5;
    string.y = 19;
    string.flags = 0x8001;
    string.own_variable = 42;
    string.box_width = 392;
    string.box_height = 26;
    string.text_color = 0x0000ff;
    string.color_b = 1;
    string.color_c = 2;
    string.font_name = "Glass";
    string.font_weight = 400;
    string.font_charset = 1;
    ElementRecord slider;
    slider.kind = 3;
    slider.x_scale = 0.1;
    slider.y_scale = -2.5e-300;
    slider.frame_count = 9;
    records.elements = {string, slider};
    records.mouse_areas = {{1, 2, 3, 4, 5, 0, 0x20000000, 0, true, 1}, {-1, -2, 0, 0, -1, 7, 0, 9, false, 2}};
    return records;
}

std::vector<ElementState> sample_states() {
    std::vector<ElementState> states(2);
    states[0].flags = 0x8000;
    states[0].value = -0.0;
    std::memcpy(states[0].text.data(), "12.5nm", 6);
    states[0].text[10] = 'x';  // bytes past the NUL go across too
    states[1].value = std::numeric_limits<double>::infinity();
    states[1].y_value = 1e-310;
    return states;
}

void expect_same_states(const std::vector<ElementState>& a, const std::vector<ElementState>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].flags, b[i].flags) << i;
        EXPECT_EQ(bits(a[i].value), bits(b[i].value)) << i;
        EXPECT_EQ(bits(a[i].y_value), bits(b[i].y_value)) << i;
        EXPECT_EQ(a[i].text, b[i].text) << i;
    }
}

// Every shorter cut of the payload is refused.
template <typename Decode>
void expect_every_cut_refused(const Message& whole, Decode decode) {
    for (size_t length = 0; length < whole.payload.size(); ++length) {
        Message cut{whole.kind, std::vector<uint8_t>(whole.payload.begin(), whole.payload.begin() + length)};
        EXPECT_THROW(decode(cut), ProtocolError) << "cut at " << length << " of " << whole.payload.size();
    }
    Message longer = whole;
    longer.payload.push_back(0);
    EXPECT_THROW(decode(longer), ProtocolError) << "a byte past the end";
}

TEST(BridgeProtocol, RequestsRoundTripWithTheirVariablesBitForBit) {
    Request click;
    click.kind = Kind::click;
    click.area = 3;
    click.event_class = 0x20000000;
    click.x = -7;
    click.y = 65;
    click.variables = sample_variables();
    const Request back = decode_request(message_of(encode(click)));
    EXPECT_EQ(back.kind, Kind::click);
    EXPECT_EQ(back.area, 3u);
    EXPECT_EQ(back.event_class, 0x20000000u);
    EXPECT_EQ(back.x, -7);
    EXPECT_EQ(back.y, 65);
    ASSERT_EQ(back.variables.size(), 5u);
    EXPECT_EQ(bits(back.variables[0].number), bits(-0.0));
    EXPECT_TRUE(std::isnan(back.variables[1].number));
    EXPECT_EQ(back.variables[2], click.variables[2]);
    EXPECT_EQ(back.variables[3].text, std::string("K\0PAE", 5));
    EXPECT_EQ(back.variables[4].type, VariableValue::Type::null_text);

    Request service;
    service.kind = Kind::service;
    service.service_id = -1;
    EXPECT_EQ(decode_request(message_of(encode(service))).service_id, -1);
    for (Kind kind : {Kind::open, Kind::close, Kind::elements, Kind::frame, Kind::quit}) {
        Request plain;
        plain.kind = kind;
        EXPECT_EQ(decode_request(message_of(encode(plain))).kind, kind);
    }
}

TEST(BridgeProtocol, ReadyCarriesEveryRecordFieldTheLinesAndTheStates) {
    const GaugeRecords records = sample_records();
    const std::vector<std::string> lines = {"linkage module_id 0x9c", "", std::string(300, 'x')};
    const Ready ready = decode_ready(message_of(encode_ready(records, lines, sample_states())));
    EXPECT_EQ(ready.records.module, records.module);
    EXPECT_EQ(ready.records.name, "GPS");
    EXPECT_EQ(ready.records.size_value, 485u);
    ASSERT_EQ(ready.records.elements.size(), 2u);
    const ElementRecord& string = ready.records.elements[0];
    EXPECT_EQ(string.resource_id, 0x1234u);
    EXPECT_EQ(string.x, -5);
    EXPECT_EQ(string.flags, 0x8001u);
    EXPECT_EQ(string.own_variable, 42u);
    EXPECT_EQ(string.box_width, 392);
    EXPECT_EQ(string.text_color, 0x0000ffu);
    EXPECT_EQ(string.color_c, 2u);
    EXPECT_EQ(string.font_name, "Glass");
    EXPECT_EQ(string.font_weight, 400u);
    EXPECT_EQ(string.font_charset, 1u);
    EXPECT_EQ(bits(ready.records.elements[1].y_scale), bits(-2.5e-300));
    EXPECT_EQ(ready.records.elements[1].frame_count, 9u);
    ASSERT_EQ(ready.records.mouse_areas.size(), 2u);
    const MouseAreaRecord& area = ready.records.mouse_areas[1];
    EXPECT_EQ(area.x, -1);
    EXPECT_EQ(area.cursor, -1);
    EXPECT_EQ(area.help_id, 7);
    EXPECT_EQ(area.event_id, 9u);
    EXPECT_FALSE(area.has_handler);
    EXPECT_EQ(area.group_depth, 2);
    EXPECT_TRUE(ready.records.mouse_areas[0].has_handler);
    EXPECT_EQ(ready.record_lines, lines);
    expect_same_states(ready.states, sample_states());
}

TEST(BridgeProtocol, DoneCarriesEachPhaseLogInOrderAndTheStates) {
    EventLog pre_update, elements(2), pre_draw;
    pre_update.record_lookup(5);
    pre_update.record_cue("sound\\beep3.wav", 0x20001);
    for (uint32_t i = 0; i < 5; ++i) elements.record_event(i, i * 2);  // 3 of them dropped
    pre_draw.record_lookup(6);
    const EventLog* logs[] = {&pre_update, &elements, &pre_draw};
    const std::vector<uint8_t> frame = encode_done(logs, sample_states());

    EventLog got[3];
    EventLog* into[] = {&got[0], &got[1], &got[2]};
    std::vector<ElementState> states(2);
    decode_done(message_of(frame), into, states);
    EXPECT_EQ(got[0].lookups(), pre_update.lookups());
    EXPECT_EQ(got[0].cues(), pre_update.cues());
    EXPECT_EQ(got[1].events(), elements.events());
    EXPECT_EQ(got[1].dropped(), 3u);
    EXPECT_EQ(got[2].lookups(), std::vector<uint32_t>{6});
    expect_same_states(states, sample_states());
}

TEST(BridgeProtocol, FailedCarriesWhyAndWhat) {
    const Failed failed = decode_failed(message_of(encode_failed(Failure::gauge, "lookup_var could not answer")));
    EXPECT_EQ(failed.failure, Failure::gauge);
    EXPECT_EQ(failed.text, "lookup_var could not answer");
}

TEST(BridgeProtocol, EveryCutOffOrOverlongMessageIsRefused) {
    Request click;
    click.kind = Kind::click;
    click.variables = sample_variables();
    expect_every_cut_refused(message_of(encode(click)), [](const Message& m) { decode_request(m); });

    expect_every_cut_refused(message_of(encode_ready(sample_records(), {"a", "bc"}, sample_states())),
                             [](const Message& m) { decode_ready(m); });

    EventLog log;
    log.record_lookup(1);
    log.record_event(2, 3);
    log.record_cue("sound\\click.wav", 1);
    const EventLog* one[] = {&log};
    expect_every_cut_refused(message_of(encode_done(one, sample_states())), [](const Message& m) {
        EventLog into;
        EventLog* logs[] = {&into};
        std::vector<ElementState> states(2);
        decode_done(m, logs, states);
    });

    expect_every_cut_refused(message_of(encode_failed(Failure::module, "no Linkage")),
                             [](const Message& m) { decode_failed(m); });
}

TEST(BridgeProtocol, HeadersWithAWrongVersionLengthOrKindAreRefused) {
    Request quit;
    quit.kind = Kind::quit;
    const std::vector<uint8_t> good = encode(quit);
    auto header_with = [&](size_t at, uint32_t word) {
        std::array<uint8_t, header_bytes> header{};
        std::memcpy(header.data(), good.data(), header_bytes);
        std::memcpy(header.data() + at, &word, 4);
        return header;
    };
    EXPECT_NO_THROW(read_header(header_with(4, protocol_version)));
    EXPECT_THROW(read_header(header_with(4, protocol_version + 1)), ProtocolError);
    EXPECT_THROW(read_header(header_with(0, 7)), ProtocolError);  // shorter than its own header
    EXPECT_THROW(read_header(header_with(0, max_message_bytes + 1)), ProtocolError);
    EXPECT_THROW(read_header(header_with(0, 0xffffffffu)), ProtocolError);
    for (uint32_t kind : {0u, 4u, 15u, 23u, 0x5a5a5a5au}) {
        EXPECT_THROW(read_header(header_with(8, kind)), ProtocolError) << kind;
    }
}

TEST(BridgeProtocol, CountsAndLengthsBeyondTheMessageAreRefusedBeforeAllocating) {
    // A click whose variable count claims far more entries than the bytes that follow.
    Writer huge_count(Kind::frame);
    huge_count.u32(0x40000000);
    EXPECT_THROW(decode_request(message_of(huge_count.bytes())), ProtocolError);

    Writer long_text(Kind::frame);
    long_text.u32(1);
    long_text.u32(7);
    long_text.u8(2);
    long_text.u32(0xfffffff0u);
    EXPECT_THROW(decode_request(message_of(long_text.bytes())), ProtocolError);

    Writer bad_type(Kind::frame);
    bad_type.u32(1);
    bad_type.u32(7);
    bad_type.u8(9);
    bad_type.f64(1.0);
    EXPECT_THROW(decode_request(message_of(bad_type.bytes())), ProtocolError);

    // An element text as long as the whole buffer would leave no NUL.
    Writer full_text(Kind::done);
    full_text.u32(0);
    full_text.u32(1);
    full_text.u32(0);
    full_text.f64(0);
    full_text.f64(0);
    full_text.u8(GAUGE_TEXT_CAPACITY);
    for (int i = 0; i < GAUGE_TEXT_CAPACITY; ++i) full_text.u8('8');
    std::vector<ElementState> one(1);
    EXPECT_THROW(decode_done(message_of(full_text.bytes()), {}, one), ProtocolError);
}

TEST(BridgeProtocol, AnswersThatDoNotFitTheRequestAreRefusedAndLeaveTheStates) {
    EventLog log;
    const EventLog* one[] = {&log};
    const std::vector<uint8_t> done = encode_done(one, sample_states());
    EventLog a, b, c;
    EventLog* three[] = {&a, &b, &c};
    std::vector<ElementState> states(2);
    EXPECT_THROW(decode_done(message_of(done), three, states), ProtocolError);  // a frame has three phases

    std::vector<ElementState> five(5);
    five[0].flags = 77;
    EventLog* single[] = {&a};
    EXPECT_THROW(decode_done(message_of(done), single, five), ProtocolError);
    EXPECT_EQ(five.size(), 5u);
    EXPECT_EQ(five[0].flags, 77u);

    // A request where an answer belongs, and the other way round.
    EXPECT_THROW(decode_ready(message_of(done)), ProtocolError);
    EXPECT_THROW(decode_request(message_of(done)), ProtocolError);
    Request frame;
    frame.kind = Kind::frame;
    EXPECT_THROW(decode_failed(message_of(encode(frame))), ProtocolError);
    Request not_a_request;
    not_a_request.kind = Kind::done;
    EXPECT_THROW(encode(not_a_request), ProtocolError);
}

TEST(BridgeProtocol, VariablesCarryAStoreAcrossExactly) {
    const Catalogue& catalogue = simulator_catalogue();
    VariableStore host(catalogue);
    for (const VariableInfo& info : catalogue.variables()) {
        switch (info.type) {
            case VariableType::number: host.set_number(info.id, info.id * -0.25); break;
            case VariableType::integer: host.set_integer(info.id, static_cast<int32_t>(info.id) - 1000); break;
            case VariableType::text: host.set_text(info.id, "T" + std::to_string(info.id)); break;
        }
    }
    const uint32_t null_text = [&] {
        for (const VariableInfo& info : catalogue.variables()) {
            if (info.type == VariableType::text) return info.id;
        }
        return 0u;
    }();
    ASSERT_NE(null_text, 0u);
    host.set_null_text(null_text);

    VariableStore bridge(catalogue);
    bridge.set_text(null_text, "left over");
    Request frame;
    frame.kind = Kind::frame;
    frame.variables = variables_of(host);
    apply_variables(decode_request(message_of(encode(frame))).variables, bridge);
    for (const VariableInfo& info : catalogue.variables()) {
        ModuleVar want{info.id}, got{info.id};
        host.fill(want);
        bridge.fill(got);
        if (info.type == VariableType::text) {
            ASSERT_EQ(want.value.text == nullptr, got.value.text == nullptr) << info.name;
            if (want.value.text) {
                EXPECT_STREQ(want.value.text, got.value.text) << info.name;
            }
        } else {
            EXPECT_EQ(std::memcmp(&want.value, &got.value, sizeof want.value), 0) << info.name;
        }
    }

    // An id the bridge's simulator does not hold is refused there, not guessed at.
    const std::vector<VariableValue> unknown = {{.id = 0xfffffff0u, .type = VariableValue::Type::number}};
    EXPECT_THROW(apply_variables(unknown, bridge), VariableError);
}

}  // namespace
}  // namespace panel::bridge
