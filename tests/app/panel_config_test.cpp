// The panel.cfg reader: the example a panel builder copies, the liberties real files take,
// and one line naming the file and line for each malformed input.
#include "panel_config.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using panel::PanelConfig;
using panel::PanelConfigError;
using panel::parse_panel_config;
using panel::read_panel_config;

namespace {

std::string config_error(const std::string& text) {
    try {
        parse_panel_config(text, "panel.cfg");
    } catch (const PanelConfigError& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(PanelConfig, ReadsTheInstallFoldersExample) {
    const PanelConfig config = read_panel_config(std::string(PANEL_SOURCE_DIR) + "/packaging/panel.cfg");
    // [Window00] holds only comments: it is the aircraft's own main panel.
    ASSERT_EQ(config.windows.size(), 2u);
    const auto& gps = config.windows[0];
    EXPECT_EQ(gps.section, "Window01");
    EXPECT_EQ(gps.width_mm, 485);
    EXPECT_EQ(gps.height_mm, 154);
    ASSERT_EQ(gps.gauges.size(), 1u);
    EXPECT_EQ(gps.gauges[0].module, "GPS_Corvane_PX40");
    EXPECT_EQ(gps.gauges[0].gauge, "GPS_Corvane_PX40");
    EXPECT_EQ(gps.gauges[0].x, 0);
    EXPECT_EQ(gps.gauges[0].y, 0);
    EXPECT_EQ(gps.gauges[0].width, 485);
    EXPECT_EQ(gps.gauges[0].height, 154);
    const auto& dme = config.windows[1];
    EXPECT_EQ(dme.section, "Window02");
    EXPECT_EQ(dme.width_mm, 450);
    EXPECT_EQ(dme.height_mm, 91);
    ASSERT_EQ(dme.gauges.size(), 1u);
    EXPECT_EQ(dme.gauges[0].module, "VER2_Corvane_VX_RD22");
    EXPECT_EQ(dme.gauges[0].gauge, "VER2_Corvane_VX_RD22");
    EXPECT_EQ(dme.gauges[0].width, 450);
    EXPECT_EQ(dme.gauges[0].height, 91);
    // The line, for messages about the gauge later on.
    std::ifstream in(std::string(PANEL_SOURCE_DIR) + "/packaging/panel.cfg");
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.rfind("gauge00=VER2", 0) == 0) {
            EXPECT_EQ(dme.gauges[0].line, number);
        }
    }
}

TEST(PanelConfig, TakesTheLibertiesRealFilesTake) {
    const PanelConfig config = parse_panel_config(
        "\xEF\xBB\xBF; written by hand\r\n"
        "[Window Titles]\r\n"
        "Window00=Main Panel\r\n"
        "gauge00=not!a, gauge, here\r\n"  // outside a window: not ours to read
        "\r\n"
        "[ WINDOW07 ]   // a pop-up\r\n"
        "  SIZE_MM = 300 , 120  \r\n"
        "visible=1\r\n"
        "Gauge00 = GPS_Corvane_PX40 ! GPS_Corvane_PX40 ,\t10, 20   ; no size: the gauge's own\r\n"
        "gauge01=VER2_Corvane_VX_RD22!VER2_Corvane_VX_RD22,5,-3,225\r\n"
        "[Window08]\r\n"
        "size_mm=10,10\r\n"
        "[Vcockpit01]\r\n"
        "gauge00=other!thing,0,0\r\n",
        "panel.cfg");
    ASSERT_EQ(config.windows.size(), 1u);  // Window08 has no gauge
    const auto& window = config.windows[0];
    EXPECT_EQ(window.section, "WINDOW07");
    EXPECT_EQ(window.width_mm, 300);
    EXPECT_EQ(window.height_mm, 120);
    ASSERT_EQ(window.gauges.size(), 2u);
    EXPECT_EQ(window.gauges[0].module, "GPS_Corvane_PX40");
    EXPECT_EQ(window.gauges[0].gauge, "GPS_Corvane_PX40");
    EXPECT_EQ(window.gauges[0].x, 10);
    EXPECT_EQ(window.gauges[0].y, 20);
    EXPECT_FALSE(window.gauges[0].width.has_value());
    EXPECT_FALSE(window.gauges[0].height.has_value());
    EXPECT_EQ(window.gauges[0].line, 9);
    EXPECT_EQ(window.gauges[1].y, -3);
    EXPECT_EQ(window.gauges[1].width, 225);
    EXPECT_FALSE(window.gauges[1].height.has_value());

    const PanelConfig bare = parse_panel_config("[window1]\ngauge0=m!g,0,0", "panel.cfg");  // no size, no last newline
    ASSERT_EQ(bare.windows.size(), 1u);
    EXPECT_FALSE(bare.windows[0].width_mm.has_value());
}

TEST(PanelConfig, EachMalformedLineIsNamed) {
    const std::string head = "[Window01]\nsize_mm=485,154\n";  // the bad line is line 3
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"gauge00=GPS_Corvane_PX40, 0, 0",
         "gauge00: expected MODULE!GAUGE, X, Y[, WIDTH, HEIGHT], not 'GPS_Corvane_PX40, 0, 0'"},
        {"gauge00=A!B, 0", "gauge00: expected MODULE!GAUGE, X, Y[, WIDTH, HEIGHT], not 'A!B, 0'"},
        {"gauge00=A!B, 0, 0, 1, 2, 3",
         "gauge00: expected MODULE!GAUGE, X, Y[, WIDTH, HEIGHT], not 'A!B, 0, 0, 1, 2, 3'"},
        {"gauge00=A!B, x, 0", "gauge00 x 'x' is not a whole number"},
        {"gauge00=A!B, 0, 1.5", "gauge00 y '1.5' is not a whole number"},
        {"gauge00=A!B, 0, , 4, 4", "gauge00 y '' is not a whole number"},
        {"gauge00=A!B, 0, 0, 0, 10", "gauge00 width 0 out of range (1 to 100000)"},
        {"gauge00=A!B, 0, 0, 10, 99999999999", "gauge00 height '99999999999' is not a whole number"},
        {"gauge00=!B, 0, 0", "gauge00: no module before '!'"},
        {"gauge00=A!, 0, 0", "gauge00: no gauge name after '!'"},
        {"gauge00=A!B!C, 0, 0", "gauge00: more than one '!'"},
        {"gauge00 A!B, 0, 0", "expected KEY=VALUE in [Window01]"},
        {"size_mm=485", "size_mm again in [Window01] (first on line 2)"},
        {"[Window02", "section header without its closing ']'"},
        {"[window01]", "[window01] again (first on line 1)"},
        {"gauge00=A!B,\x01 0, 0", "stray control character 0x01"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(config_error(head + c.line + "\ngauge09=A!B,0,0\n"), std::string("panel.cfg:3: ") + c.error)
            << c.line;
    }
    EXPECT_EQ(config_error("[Window01]\nsize_mm=485\ngauge00=A!B,0,0\n"),
              "panel.cfg:2: size_mm: expected WIDTH,HEIGHT in millimetres, not '485'");
    EXPECT_EQ(config_error("[Window01]\nsize_mm=485,abc\ngauge00=A!B,0,0\n"),
              "panel.cfg:2: size_mm height 'abc' is not a whole number");
    EXPECT_EQ(config_error("[Window01]\ngauge00=A!B,0,0\ngauge00=A!C,1,1\n"),
              "panel.cfg:3: gauge00 again in [Window01] (first on line 2)");
}

TEST(PanelConfig, AFileWithoutAGaugeIsAnError) {
    for (const char* text : {"", "\xEF\xBB\xBF", "// nothing\n", "[Window00]\nsize_mm=10,10\n// gauge00=A!B,0,0\n",
                             "[Window Titles]\ngauge00=A!B,0,0\n"}) {
        EXPECT_EQ(config_error(text), "panel.cfg: no gauge in any [WindowNN] section") << text;
    }
}

TEST(PanelConfig, AFileThatCannotBeReadIsOneLine) {
    const auto dir = std::filesystem::path(::testing::TempDir()) / "panel_config_test";
    std::filesystem::create_directories(dir);
    for (const auto& path : {dir / "missing.cfg", dir}) {
        try {
            read_panel_config(path);
            ADD_FAILURE() << "read " << path;
        } catch (const PanelConfigError& error) {
            EXPECT_EQ(std::string(error.what()), path.string() + ": cannot read");
        }
    }
    const auto big = dir / "big.cfg";
    {
        std::ofstream out(big, std::ios::binary);
        const std::string comment(1023, '/');
        for (int i = 0; i < 1025; ++i) out << comment << '\n';
    }
    try {
        read_panel_config(big);
        ADD_FAILURE() << "read a file over 1 MiB";
    } catch (const PanelConfigError& error) {
        EXPECT_EQ(std::string(error.what()), big.string() + ": too large for a panel.cfg (over 1 MiB)");
    }
}
