// The bridge's serving loop, fed a stream of requests: it opens with the records, answers
// clicks by area and by point alike, answers a malformed request with an error and goes on,
// and answers a cut-off or unreadable stream with an error and stops instead of waiting.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "bridge_server.h"
#include "frame_driver.h"
#include "protocol.h"

namespace panel::bridge {
namespace {

namespace fs = std::filesystem;

const fs::path gps_module = fs::path(PANEL_MODULE_DIR) / "GPS_Corvane_PX40.so";

struct Served {
    int status = -1;
    std::vector<Message> answers;
};

// Runs a server on `module` with `input` as everything the host ever sends.
Served serve(const fs::path& module, const std::vector<uint8_t>& input) {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    if (!input.empty()) std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    Served served;
    served.status = BridgeServer(in, out).run(module);
    std::rewind(out);
    std::vector<uint8_t> bytes;
    for (int c; (c = std::fgetc(out)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(in);
    std::fclose(out);
    for (size_t at = 0; at < bytes.size();) {
        EXPECT_GE(bytes.size() - at, header_bytes);
        std::array<uint8_t, header_bytes> header{};
        std::memcpy(header.data(), bytes.data() + at, header_bytes);
        const Header head = read_header(header);
        at += header_bytes;
        served.answers.push_back(
            {head.kind, std::vector<uint8_t>(bytes.begin() + at, bytes.begin() + at + head.payload_bytes)});
        at += head.payload_bytes;
    }
    return served;
}

std::vector<uint8_t> request(Kind kind, uint32_t area = area_at_point, int32_t x = 0, int32_t y = 0) {
    Request r;
    r.kind = kind;
    r.area = area;
    r.event_class = CLICK_LEFT_SINGLE;
    r.x = x;
    r.y = y;
    return encode(r);
}

void append(std::vector<uint8_t>& stream, const std::vector<uint8_t>& bytes) {
    stream.insert(stream.end(), bytes.begin(), bytes.end());
}

TEST(BridgeServer, ClicksByPointFindTheAreaAsClicksByAreaName) {
    const Served first = serve(gps_module, {});
    ASSERT_EQ(first.answers.size(), 1u);
    const Ready ready = decode_ready(first.answers[0]);
    EXPECT_EQ(first.status, 0);  // the host closed at once

    std::vector<uint8_t> by_area = request(Kind::open), by_point = request(Kind::open);
    for (size_t i = 0; i < ready.records.mouse_areas.size(); ++i) {
        const auto [x, y] = FrameDriver::middle_of(ready.records.mouse_areas[i]);
        append(by_area, request(Kind::click, static_cast<uint32_t>(i), x, y));
        append(by_area, request(Kind::frame));
        append(by_point, request(Kind::click, area_at_point, x, y));
        append(by_point, request(Kind::frame));
    }
    append(by_area, request(Kind::quit));
    append(by_point, request(Kind::quit));
    const Served area = serve(gps_module, by_area), point = serve(gps_module, by_point);
    EXPECT_EQ(area.status, 0);
    ASSERT_EQ(area.answers.size(), 2 + 2 * ready.records.mouse_areas.size());
    ASSERT_EQ(point.answers.size(), area.answers.size());
    size_t cues = 0;
    for (size_t i = 0; i < area.answers.size(); ++i) {
        EXPECT_EQ(point.answers[i].kind, area.answers[i].kind) << i;
        EXPECT_EQ(point.answers[i].payload, area.answers[i].payload) << i;
        if (area.answers[i].kind != Kind::done || i < 2 || i % 2 == 1) continue;  // the clicks
        EventLog log;
        EventLog* logs[] = {&log};
        std::vector<ElementState> states(ready.states.size());
        decode_done(area.answers[i], logs, states);
        cues += log.cues().size();
    }
    EXPECT_GT(cues, 0u);  // the clicks reached handlers

    // A point outside every area calls nothing.
    std::vector<uint8_t> outside = request(Kind::click, area_at_point, -5, -5);
    const Served nothing = serve(gps_module, outside);
    ASSERT_EQ(nothing.answers.size(), 2u);
    EventLog log;
    EventLog* logs[] = {&log};
    std::vector<ElementState> states(ready.states.size());
    decode_done(nothing.answers[1], logs, states);
    EXPECT_TRUE(log.empty());
}

TEST(BridgeServer, AMalformedRequestGetsAnErrorAndTheNextIsStillAnswered) {
    Writer bad(Kind::frame);
    bad.u32(0x40000000);  // a variable count far past the message
    std::vector<uint8_t> stream = bad.bytes();
    Writer unknown_variable(Kind::frame);
    unknown_variable.u32(1);
    unknown_variable.u32(0xfffffff0u);
    unknown_variable.u8(0);
    unknown_variable.f64(1.0);
    append(stream, unknown_variable.bytes());
    Request click;
    click.kind = Kind::click;
    click.area = 999;  // no such area: the gauge call fails
    append(stream, encode(click));
    append(stream, request(Kind::frame));
    const Served served = serve(gps_module, stream);
    EXPECT_EQ(served.status, 0);
    ASSERT_EQ(served.answers.size(), 5u);
    const Failed count = decode_failed(served.answers[1]);
    EXPECT_EQ(count.failure, Failure::request);
    EXPECT_NE(count.text.find("a count of 1073741824"), std::string::npos) << count.text;
    EXPECT_EQ(decode_failed(served.answers[2]).failure, Failure::request);
    const Failed area = decode_failed(served.answers[3]);
    EXPECT_EQ(area.failure, Failure::gauge);
    EXPECT_EQ(area.text, "no clickable area 1000");  // without this process's path of the module
    EXPECT_EQ(served.answers[4].kind, Kind::done);
}

TEST(BridgeServer, ACutOffOrUnreadableStreamGetsAnErrorAndEndsTheBridge) {
    const std::vector<uint8_t> frame = request(Kind::frame);
    for (size_t cut : {size_t{5}, header_bytes, frame.size() - 1}) {
        std::vector<uint8_t> stream = request(Kind::open);
        stream.insert(stream.end(), frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(cut));
        const Served served = serve(gps_module, stream);
        EXPECT_EQ(served.status, 2) << cut;
        ASSERT_EQ(served.answers.size(), 3u) << cut;
        EXPECT_EQ(decode_failed(served.answers[2]).failure, Failure::request) << cut;
    }
    std::vector<uint8_t> wrong_version = request(Kind::frame);
    wrong_version[4] = 9;
    const Served served = serve(gps_module, wrong_version);
    EXPECT_EQ(served.status, 2);
    ASSERT_EQ(served.answers.size(), 2u);
    EXPECT_NE(decode_failed(served.answers[1]).text.find("protocol version 9"), std::string::npos);
}

TEST(BridgeServer, AModuleThatCannotBeLoadedIsRefusedWithItsReason) {
    const Served served = serve(fs::path(PANEL_MODULE_DIR) / "no_such_module.so", request(Kind::frame));
    EXPECT_EQ(served.status, 1);
    ASSERT_EQ(served.answers.size(), 1u);
    const Failed failed = decode_failed(served.answers[0]);
    EXPECT_EQ(failed.failure, Failure::module);
    EXPECT_NE(failed.text.find("no_such_module.so"), std::string::npos) << failed.text;
}

}  // namespace
}  // namespace panel::bridge
