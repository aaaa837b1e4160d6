// Datagrams as they come off the socket: FlightGear's own, and every kind of malformed one,
// each refused with its reason and never taken in part.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datagram.h"
#include "fakes.h"

namespace {

using namespace panel::live;

class Datagrams : public ::testing::Test {
protected:
    std::string problem(const std::string& datagram) {
        std::vector<ChunkValue> values;
        return DatagramParser(fake.protocol()).parse(datagram, values);
    }
    // The good datagram with the chunk at `index` replaced.
    std::string with_field(size_t index, const std::string& field) {
        std::string line = fake.datagram();
        line.pop_back();
        std::vector<std::string> fields;
        for (size_t start = 0;;) {
            const size_t end = line.find(',', start);
            fields.push_back(line.substr(start, end - start));
            if (end == std::string::npos) break;
            start = end + 1;
        }
        fields.at(index) = field;
        std::string joined;
        for (size_t i = 0; i < fields.size(); ++i) joined += (i ? "," : "") + fields[i];
        return joined + "\n";
    }
    size_t index(const char* chunk) { return static_cast<size_t>(fake.protocol().chunk_index(chunk)); }

    fakes::FakeFlightGear fake;
};

TEST_F(Datagrams, FlightGearsOwnIsReadChunkByChunk) {
    std::vector<ChunkValue> values;
    ASSERT_EQ(DatagramParser(fake.protocol()).parse(fake.datagram(), values), "");
    ASSERT_EQ(values.size(), fake.protocol().chunks.size());
    EXPECT_DOUBLE_EQ(values[index("latitude-deg")].number, 37.6115);
    EXPECT_EQ(values[index("wp-id")].text, "KOAK");
    EXPECT_EQ(values[index("dme-in-range")].number, 1.0);
    EXPECT_EQ(values[index("utc-minute")].number, 4.0);
    // A blank GPS ident (no waypoint yet) and padded numbers are fine.
    EXPECT_EQ(problem(with_field(index("wp-id"), "")), "");
    EXPECT_EQ(problem(with_field(index("altitude-ft"), "  3290.5")), "");
    EXPECT_EQ(problem(with_field(index("dme-in-range"), "true")), "");
}

TEST_F(Datagrams, EveryMalformedKindIsRefusedWithItsReason) {
    const std::string good = fake.datagram();
    EXPECT_EQ(problem(""), "empty");
    EXPECT_EQ(problem(good.substr(0, good.size() / 2)), "cut short: no line separator at its end");
    EXPECT_EQ(problem("37.6,-122.3\n"), "too few chunks: 2 of 29");
    EXPECT_EQ(problem(good.substr(0, good.size() - 1) + ",1,2\n"), "too many chunks: more than 29");
    EXPECT_EQ(problem("\x01\x02garbage\xff\n"), "chunk elapsed-sec: \"??garbage?\" is not a finite number");
    EXPECT_EQ(problem(with_field(index("latitude-deg"), "37.6x")),
              "chunk latitude-deg: \"37.6x\" is not a finite number");
    EXPECT_EQ(problem(with_field(index("latitude-deg"), "nan")), "chunk latitude-deg: \"nan\" is not a finite number");
    EXPECT_EQ(problem(with_field(index("longitude-deg"), "-inf")),
              "chunk longitude-deg: \"-inf\" is not a finite number");
    EXPECT_EQ(problem(with_field(index("latitude-deg"), "")), "chunk latitude-deg: \"\" is not a finite number");
    EXPECT_EQ(problem(with_field(index("utc-hour"), "20.5")), "chunk utc-hour: \"20.5\" is not a whole number");
    EXPECT_EQ(problem(with_field(index("dme-in-range"), "2")), "chunk dme-in-range: \"2\" is not 0 or 1");
    EXPECT_EQ(problem(with_field(index("wp-id"), "KO\tAK")), "chunk wp-id: a control character in the text");
    EXPECT_EQ(problem(with_field(index("wp-id"), std::string(65, 'K'))), "chunk wp-id: a text longer than 64 bytes");
    EXPECT_EQ(problem(std::string(5000, '1') + "\n"), "longer than 4096 bytes");
}

}  // namespace
