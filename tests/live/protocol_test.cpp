// The protocol file as FlightGear and panelhost both read it: the shipped one, complete and
// mapped row for row, and broken ones, each refused with one line naming the file and line.
#include <gtest/gtest.h>

#include <string>

#include "chunk_mapping.h"
#include "fakes.h"
#include "generic_protocol.h"

namespace {

using namespace panel::live;

std::string wrapped(const std::string& output) {
    return "<?xml version=\"1.0\"?>\n<PropertyList>\n<generic>\n<output>\n" + output +
           "</output>\n</generic>\n</PropertyList>\n";
}

const std::string good_chunk =
    "<chunk><name>latitude-deg</name><node>/position/latitude-deg</node>"
    "<type>double</type><format>%.6f</format></chunk>\n";

std::string refusal(const std::string& text) {
    try {
        parse_protocol(text, "test.xml");
    } catch (const ProtocolError& error) {
        return error.what();
    }
    return "(read)";
}

TEST(ShippedProtocol, EveryChunkIsFormattedAndFeedsTheTableAndEveryRowHasItsChunk) {
    const Protocol protocol = fakes::shipped_protocol();
    EXPECT_EQ(protocol.var_separator, ",");
    EXPECT_EQ(protocol.line_separator, "\n");
    EXPECT_EQ(protocol.chunks.size(), chunk_mappings().size());
    for (const ChunkMapping& mapping : chunk_mappings()) {
        const int index = protocol.chunk_index(mapping.chunk);
        ASSERT_GE(index, 0) << mapping.chunk;
        EXPECT_EQ(protocol.chunks[index].format.find('%'), 0u) << mapping.chunk;
    }
    const LiveVariables variables(protocol, panel::simulator_catalogue());
    EXPECT_TRUE(variables.notes().empty()) << variables.notes().front();
    // Positions are doubles: a float would lose metres.
    EXPECT_EQ(protocol.chunks[protocol.chunk_index("latitude-deg")].type, ChunkType::float64);
    EXPECT_EQ(protocol.chunks[protocol.chunk_index("longitude-deg")].type, ChunkType::float64);
}

TEST(ProtocolFile, SeparatorsAreFlightGearsWordsOrLiteralAndDefaultsAreFlightGears) {
    const Protocol protocol =
        parse_protocol(wrapped("<var_separator>tab</var_separator><line_separator>carriagereturn</line_separator>"
                               "<chunk><name>n</name><node>/a&amp;b</node></chunk>\n"),
                       "test.xml");
    EXPECT_EQ(protocol.var_separator, "\t");
    EXPECT_EQ(protocol.line_separator, "\r");
    ASSERT_EQ(protocol.chunks.size(), 1u);
    EXPECT_EQ(protocol.chunks[0].node, "/a&b");
    EXPECT_EQ(protocol.chunks[0].type, ChunkType::integer);  // no <type>: int
    EXPECT_EQ(protocol.chunks[0].format, "%d");              // no <format>: %d
    EXPECT_EQ(parse_protocol(wrapped("<var_separator>; </var_separator>" + good_chunk), "t").var_separator, "; ");
}

TEST(ProtocolFile, WhatFlightGearWouldReadDifferentlyIsRefusedAtItsLine) {
    EXPECT_EQ(refusal(wrapped("<binary_mode>true</binary_mode><var_separator>,</var_separator>" + good_chunk)),
              "test.xml:5: binary mode is not read: panelhost reads the text mode");
    EXPECT_EQ(refusal(wrapped(good_chunk)),
              "test.xml:4: <var_separator> is missing or empty: the chunks could not be told apart");
    EXPECT_EQ(refusal(wrapped("<var_separator>,</var_separator>\n")), "test.xml:4: the output section has no chunk");
    EXPECT_EQ(refusal(wrapped("<var_separator>,</var_separator>\n<chunk><name>x</name><node>/x</node>"
                              "<type>double</type><factor>2</factor></chunk>\n")),
              "test.xml:6: chunk x: <factor> and <offset> are not read: panelhost converts the units itself");
    EXPECT_EQ(refusal(wrapped("<var_separator>,</var_separator>\n<chunk><name>x</name><node>/x</node>"
                              "<type>fixed</type></chunk>\n")),
              "test.xml:6: chunk type \"fixed\" is not one of int, float, double, bool, string");
    EXPECT_EQ(refusal(wrapped("<var_separator>,</var_separator>\n<chunk><name>x</name><node>/x</node>"
                              "<type>double</type>\n<format>%s</format></chunk>\n")),
              "test.xml:7: chunk x: format \"%s\" does not print a value of type double (one of %f %F %e %E %g %G)");
    EXPECT_EQ(refusal(wrapped("<var_separator>,</var_separator>\n<chunk><name>x</name><node>/x</node>"
                              "<format>%d %d</format></chunk>\n")),
              "test.xml:6: chunk x: format \"%d %d\" must print the value exactly once");
    EXPECT_EQ(refusal(wrapped("<var_separator>,</var_separator>\n<chunk><name>x</name><node>/x</node>"
                              "<format>%ld</format></chunk>\n")),
              "test.xml:6: chunk x: format \"%ld\" does not print a value of type int (one of %d %i)");
    EXPECT_EQ(refusal(wrapped("<var_separator>,</var_separator>\n<chunk><name>x</name></chunk>\n")),
              "test.xml:6: chunk x has no <node>: a constant chunk is not read");
    // A node is sent to the property server as it stands: a line break in it would send commands.
    EXPECT_EQ(refusal(wrapped("<var_separator>,</var_separator>\n<chunk><name>altimeter-setting-hpa</name>\n"
                              "<node>/instrumentation/altimeter/setting-hpa\nrun exit\nset /x</node></chunk>\n")),
              "test.xml:7: chunk altimeter-setting-hpa: <node> holds a line break; a property path has no blanks or "
              "control characters");
    EXPECT_EQ(refusal(wrapped("<var_separator>,</var_separator>\n<chunk><name>x</name><node>/x 1013</node></chunk>\n")),
              "test.xml:6: chunk x: <node> holds a space; a property path has no blanks or control characters");
    EXPECT_EQ(
        refusal(wrapped("<var_separator>,</var_separator>\n<chunk><name>x</name><node>/x\x1b</node></chunk>\n")),
        "test.xml:6: chunk x: <node> holds a control character; a property path has no blanks or control characters");
    EXPECT_EQ(refusal(wrapped("<var_separator>,</var_separator>\n" + good_chunk + good_chunk)),
              "test.xml:7: a second chunk named latitude-deg");
    EXPECT_EQ(refusal("<PropertyList><generic/></PropertyList>"), "test.xml: no <generic><output> section");
    EXPECT_EQ(refusal("<Other/>"), "test.xml:1: the root element must be <PropertyList>");
}

TEST(ProtocolFile, XmlItCannotReadIsRefusedAtItsLine) {
    EXPECT_EQ(refusal("<PropertyList>\n<generic>\n</PropertyList>"),
              "test.xml:3: </PropertyList> closes <generic> of line 2");
    EXPECT_EQ(refusal("<PropertyList>\n<generic>"), "test.xml:2: <generic> is not closed");
    EXPECT_EQ(refusal("<PropertyList>\n&nbsp;</PropertyList>"),
              "test.xml:2: an entity other than &amp; &lt; &gt; &quot; &apos;");
    EXPECT_EQ(refusal("<PropertyList><![CDATA[x]]></PropertyList>"),
              "test.xml:1: CDATA, DTDs and processing instructions are not read");
    EXPECT_EQ(refusal("<PropertyList>\n<!-- never closed\n"), "test.xml:2: an unfinished comment");
    EXPECT_EQ(refusal(""), "test.xml:1: no root element");
    EXPECT_EQ(refusal("<PropertyList/>\n<Second/>"), "test.xml:2: text after the root element");
    EXPECT_EQ(refusal(std::string(40, '<') + "a"), "test.xml:1: an element name was expected");
    std::string deep;
    for (int i = 0; i < 40; ++i) deep += "<a>";
    EXPECT_EQ(refusal(deep), "test.xml:1: elements nested too deep");
    EXPECT_EQ(refusal(std::string(2 << 20, ' ')), "test.xml:1: the file is larger than 1 MB: not a protocol file");
    // Attributes, a byte-order mark and comments are read past.
    EXPECT_EQ(refusal("\xEF\xBB\xBF<PropertyList a=\"1\" b='2'><!-- c --><generic><output><var_separator>,"
                      "</var_separator>" +
                      good_chunk + "</output></generic></PropertyList>"),
              "(read)");
}

TEST(ProtocolFile, AFileThatCannotBeReadIsNamed) {
    EXPECT_THROW(read_protocol("/nonexistent/panelhost.xml"), ProtocolError);
    try {
        read_protocol("/nonexistent/panelhost.xml");
    } catch (const ProtocolError& error) {
        EXPECT_EQ(std::string(error.what()), "/nonexistent/panelhost.xml: cannot read (No such file or directory)");
    }
}

TEST(ChunkFormat, ValuesArePrintedAsFlightGearPrintsThem) {
    Chunk chunk{.name = "x", .node = "/x", .type = ChunkType::float32, .format = "%.7f"};
    // A float chunk is narrowed to 32 bits: why positions must be double.
    EXPECT_EQ(format_chunk(chunk, 37.6115283), "37.6115265");
    chunk.type = ChunkType::float64;
    EXPECT_EQ(format_chunk(chunk, 37.6115283), "37.6115283");
    chunk = {.name = "b", .node = "/b", .type = ChunkType::boolean, .format = "%d"};
    EXPECT_EQ(format_chunk(chunk, 1.0), "1");
    chunk = {.name = "s", .node = "/s", .type = ChunkType::text, .format = "[%s]"};
    EXPECT_EQ(format_chunk(chunk, 0.0, "KOAK"), "[KOAK]");
}

TEST(ChunkTable, AChunkOfTheWrongTypeForItsRowIsRefused) {
    try {
        const Protocol protocol =
            parse_protocol(wrapped("<var_separator>,</var_separator>\n<chunk><name>wp-id</name><node>/w</node>"
                                   "<type>double</type><format>%f</format></chunk>\n"),
                           "test.xml");
        LiveVariables variables(protocol, panel::simulator_catalogue());
        ADD_FAILURE() << "took a number for the waypoint's ident";
    } catch (const ProtocolError& error) {
        EXPECT_EQ(std::string(error.what()), "test.xml:6: chunk wp-id must be of type string");
    }
}

TEST(ChunkTable, ChunksNobodyReadsAndRowsNoChunkFeedsAreNoted) {
    const Protocol protocol = parse_protocol(
        wrapped("<var_separator>,</var_separator>\n" + good_chunk +
                "<chunk><name>fuel</name><node>/f</node><type>double</type><format>%f</format></chunk>\n"),
        "test.xml");
    const LiveVariables variables(protocol, panel::simulator_catalogue());
    ASSERT_EQ(variables.notes().size(), chunk_mappings().size());  // every row but latitude, and fuel
    EXPECT_EQ(variables.notes().front(), "test.xml: no chunk elapsed-sec");
    EXPECT_EQ(variables.notes()[1], "test.xml: no chunk longitude-deg: longitude reads 0");
    EXPECT_EQ(variables.notes().back(), "test.xml:7: chunk fuel feeds no instrument; it is ignored");
}

}  // namespace
