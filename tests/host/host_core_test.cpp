// The host core against probe modules: binding, variable refresh, the element pass, clicks,
// and the one-line errors for modules it cannot use.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "gauge_session.h"

namespace {

using panel::GaugeSession;
using panel::ModuleError;

std::string probe(const std::string& name) {
    return std::string(PROBE_DIR) + "/" + name + ".so";
}

// The message of the ModuleError that opening `path` throws, or "" when it opens.
std::string open_error(const std::string& path) {
    try {
        GaugeSession session(path);
    } catch (const ModuleError& error) {
        return error.what();
    }
    return "";
}

class ProbeSession : public ::testing::Test {
protected:
    GaugeSession session{probe("probe_good")};
};

TEST_F(ProbeSession, BindsTheServiceTableAndCallsInitOnce) {
    // Records are packed to 4 bytes, so a wide pointer field is read by value, never bound.
    const void* bound = session.module().import_table().panel_services.pointer;
    EXPECT_EQ(bound, panel::host_service_table());
    EXPECT_EQ(session.view().name(), "probe");
    ASSERT_EQ(session.element_count(), 6u);
    session.run_frame();
    EXPECT_STREQ(session.text(6), "2346/1");  // the callbacks that note themselves, in chain order
}

TEST_F(ProbeSession, RefreshesGaugeVariablesInListOrderEveryUpdate) {
    session.variables().set_number(30, 1.5);
    session.variables().set_number(20, -2.0);
    session.run_frame();
    session.run_frame();
    EXPECT_EQ(session.log().lookups(), (std::vector<uint32_t>{30, 10, 20, 30, 10, 20}));
    EXPECT_STREQ(session.text(3), "0 1.5 0 -2");
}

TEST_F(ProbeSession, FillsOwnVariablesAsTextIntegerOrNothing) {
    session.run_frame();
    EXPECT_STREQ(session.text(2), "-");  // an unset text variable reads as a null pointer
    session.variables().set_text(500, "KSEA");
    session.variables().set_integer(501, -7);
    session.run_frame();
    EXPECT_STREQ(session.text(2), "KSEA");
    EXPECT_EQ(std::string(session.text(3)).substr(0, 2), "-7");
    EXPECT_EQ(session.result(2), 1.5);
}

TEST_F(ProbeSession, KeepsHostTextsWithinTheBuffer) {
    session.variables().set_text(500, std::string(100, 'A'));
    session.run_frame();
    EXPECT_EQ(std::string(session.text(2)), std::string(31, 'A'));
}

TEST_F(ProbeSession, ReportsFramesFlagsAndSliderPositions) {
    session.variables().set_number(20, 4.0);
    session.run_frame();
    EXPECT_EQ(session.result(4), 2.0);
    EXPECT_TRUE(session.lit(4));
    EXPECT_TRUE(session.hidden(4));
    session.run_frame();
    EXPECT_FALSE(session.hidden(4));
    EXPECT_EQ(session.result(5), -3.25);
    EXPECT_EQ(session.y_result(5), 4.0);
}

TEST_F(ProbeSession, ClickCallsTheHandlerOnceWithRightAndBottomEdgesExcluded) {
    EXPECT_EQ(session.click(9, 10), nullptr);
    EXPECT_EQ(session.click(10, 15), nullptr);  // bottom edge
    ASSERT_NE(session.click(19, 14), nullptr);  // last pixel of the left area
    EXPECT_EQ(session.log().events(), (std::vector<panel::KeyEvent>{{0x1000, 0}}));
    ASSERT_EQ(session.log().cues().size(), 1u);
    EXPECT_EQ(session.log().cues()[0].path, "sound\\click.wav");
    EXPECT_EQ(session.log().cues()[0].flags, 0x00020001u);

    session.log().clear();
    MouseRect* area = session.click(20, 10);  // the shared edge belongs to the right area
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->cursor, CURSOR_RIGHT);
    EXPECT_EQ(session.log().events(), (std::vector<panel::KeyEvent>{{0x2000, 0}, {0x2001, 0}}));
    EXPECT_TRUE(session.log().cues().empty());
}

TEST_F(ProbeSession, AreaThatTakesNoLeftClicksIsNotCalled) {
    ASSERT_NE(session.click(45, 12), nullptr);
    EXPECT_TRUE(session.log().events().empty());
}

TEST_F(ProbeSession, ListsOnlyTheClickableAreas) {
    EXPECT_EQ(session.view().mouse_areas().size(), 3u);
}

TEST(ModuleErrors, NameTheFileAndWhatIsWrong) {
    EXPECT_EQ(open_error(probe("does_not_exist")), probe("does_not_exist") + ": no such file");
    EXPECT_NE(open_error(probe("probe_no_linkage")).find("exports no Linkage record"), std::string::npos);
    EXPECT_NE(open_error(probe("probe_wrong_import")).find("ImportTable names service table 0x7"), std::string::npos);
    EXPECT_NE(open_error(probe("probe_no_gauge")).find("Linkage lists no gauge"), std::string::npos);
    EXPECT_NE(open_error(probe("probe_cyclic")).find("cyclic"), std::string::npos);
}

TEST(ModuleErrors, AFileThatIsNoLibraryIsRejected) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "panel_not_a_module.so";
    std::ofstream(path) << "this is a text file\n";
    const std::string message = open_error(path.string());
    std::filesystem::remove(path);
    EXPECT_EQ(message.rfind(path.string() + ": cannot be loaded as a gauge module", 0), 0u) << message;
}

}  // namespace
