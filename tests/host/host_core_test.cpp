// The host core against probe modules: binding, variable refresh, the element pass, clicks,
// the phases its observers see, and the one-line errors for modules it cannot use.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <string>
#include <thread>

#include "gauge_session.h"
#include "in_process_gauge.h"
#include "probe_support.h"
#include "service_table.h"
#include "variable_handoff.h"

namespace {

using panel::GaugeSession;
using panel::ModuleError;
using probe_test::probe;
using probe_test::probe_catalogue;

// The message of the ModuleError that opening `path` throws, or "" when it opens.
std::string open_error(const std::string& path) {
    try {
        GaugeSession session(path, probe_catalogue());
    } catch (const ModuleError& error) {
        return error.what();
    }
    return "";
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every phase an observer is shown, with what the gauge asked for in it.
struct PhaseRecorder : panel::PhaseObserver {
    std::vector<panel::Phase> phases;
    panel::EventLog seen{4096};
    void phase_done(panel::Phase phase, const panel::EventLog& log) override {
        phases.push_back(phase);
        seen.append(log);
    }
};

class ProbeSession : public ::testing::Test {
protected:
    GaugeSession session{probe("probe_good"), probe_catalogue()};
};

TEST_F(ProbeSession, BindsTheServiceTableAndCallsInitOnceInsideAServiceScope) {
    auto& gauge = dynamic_cast<panel::InProcessGauge&>(session.gauge());
    const void* bound = gauge.module().import_table().panel_services.pointer;
    EXPECT_EQ(bound, panel::host_service_table());
    EXPECT_EQ(session.records().name, "probe");
    ASSERT_EQ(session.element_count(), 6u);
    // module_init looked up its first input and played a cue: both reached the host.
    EXPECT_EQ(session.log().lookups(), std::vector<uint32_t>{30});
    ASSERT_EQ(session.log().cues().size(), 1u);
    EXPECT_EQ(session.log().cues()[0].path, "sound\\init.wav");
    session.run_frame();
    EXPECT_STREQ(session.text(6), "2346/1");  // the callbacks that note themselves, in chain order
}

TEST(ProbeLifetime, DeinitRunsInsideAServiceScopeWhenTheSessionCloses) {
    PhaseRecorder recorder;
    {
        GaugeSession session(probe("probe_good"), probe_catalogue());
        session.driver().add_observer(recorder);
        session.run_frame();
    }
    using panel::Phase;
    EXPECT_EQ(recorder.phases, (std::vector<Phase>{Phase::pre_update, Phase::elements, Phase::pre_draw, Phase::close}));
    ASSERT_EQ(recorder.seen.cues().size(), 1u);
    EXPECT_EQ(recorder.seen.cues()[0].path, "sound\\deinit.wav");
}

TEST_F(ProbeSession, RefreshesGaugeVariablesInListOrderEveryUpdate) {
    session.variables().set_number(30, 1.5);
    session.variables().set_number(20, -2.0);
    session.log().clear();
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
    session.variables().set_null_text(500);
    session.run_frame();
    EXPECT_STREQ(session.text(2), "-");
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

TEST_F(ProbeSession, ElementAccessIsCheckedByNumber) {
    EXPECT_THROW(session.text(0), std::out_of_range);
    EXPECT_THROW(session.result(7), std::out_of_range);
    EXPECT_THROW(session.y_result(std::numeric_limits<size_t>::max()), std::out_of_range);
    EXPECT_THROW(session.record(0), std::out_of_range);
}

TEST_F(ProbeSession, ReadsTheRecordsAsPlainValues) {
    const auto& records = session.records();
    EXPECT_EQ(records.size_value, 100u);
    EXPECT_EQ(records.elements[0].resource_id, 0x100u);
    EXPECT_EQ(records.elements[1].own_variable, 500u);
    EXPECT_EQ(records.elements[3].frame_count, 3u);
    EXPECT_EQ(records.elements[4].x_scale, 2.0);
    EXPECT_EQ(records.elements[4].flags, ELEMENT_FLAGS_AT_LOAD);
    ASSERT_EQ(records.mouse_areas.size(), 3u);
    EXPECT_EQ(records.mouse_areas[1].cursor, CURSOR_RIGHT);
    EXPECT_TRUE(records.mouse_areas[1].has_handler);
    EXPECT_EQ(records.mouse_areas[2].event_flags, 0x10000000u);
}

TEST_F(ProbeSession, ClickCallsTheHandlerOnceWithRightAndBottomEdgesExcluded) {
    session.log().clear();
    EXPECT_EQ(session.click(9, 10), nullptr);
    EXPECT_EQ(session.click(10, 15), nullptr);  // bottom edge
    ASSERT_NE(session.click(19, 14), nullptr);  // last pixel of the left area
    EXPECT_EQ(session.log().events(), (std::vector<panel::KeyEvent>{{0x1000, 0}}));
    ASSERT_EQ(session.log().cues().size(), 1u);
    EXPECT_EQ(session.log().cues()[0].path, "sound\\click.wav");
    EXPECT_EQ(session.log().cues()[0].flags, 0x00020001u);

    session.log().clear();
    const panel::MouseAreaRecord* area = session.click(20, 10);  // the shared edge belongs to the right area
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->cursor, CURSOR_RIGHT);
    EXPECT_EQ(session.log().events(), (std::vector<panel::KeyEvent>{{0x2000, 0}, {0x2001, 0}}));
    EXPECT_TRUE(session.log().cues().empty());
}

TEST_F(ProbeSession, AreaThatTakesNoLeftClicksIsNotCalled) {
    session.log().clear();
    const panel::ClickOutcome outcome = session.driver().click(45, 12);
    ASSERT_EQ(outcome.area, 2u);
    EXPECT_FALSE(outcome.handled);
    EXPECT_TRUE(session.log().events().empty());
    // A click of the class the area names does reach its handler.
    EXPECT_TRUE(session.driver().click(45, 12, 0x10000000u).handled);
    EXPECT_EQ(session.log().events().size(), 2u);
}

TEST_F(ProbeSession, TellsTheCursorUnderAPoint) {
    const panel::MouseDispatcher& mouse = session.driver().mouse();
    EXPECT_EQ(mouse.cursor_at(12, 12), CURSOR_LEFT);
    EXPECT_EQ(mouse.cursor_at(29, 14), CURSOR_RIGHT);
    EXPECT_EQ(mouse.cursor_at(30, 14), std::nullopt);
}

TEST_F(ProbeSession, ObserversSeeEachPhaseWithOnlyItsOwnRequests) {
    PhaseRecorder recorder;
    session.driver().add_observer(recorder);
    session.run_frame();
    session.click(12, 12);
    session.driver().remove_observer(recorder);
    using panel::Phase;
    EXPECT_EQ(recorder.phases, (std::vector<Phase>{Phase::pre_update, Phase::elements, Phase::pre_draw, Phase::click}));
    EXPECT_EQ(recorder.seen.lookups(), (std::vector<uint32_t>{30, 10, 20}));
    EXPECT_EQ(recorder.seen.events(), (std::vector<panel::KeyEvent>{{0x1000, 0}}));
}

TEST_F(ProbeSession, ATextReplacedDuringAFrameStaysReadableUntilTheFrameEnds) {
    panel::VariableStore& variables = session.variables();
    variables.set_text(500, "FIRST");
    ModuleVar var{.id = 500};
    variables.fill(var);
    const char* first = var.value.text;
    variables.set_text(500, "SECOND");
    EXPECT_STREQ(first, "FIRST");  // still the text the gauge was given this frame
    session.run_frame();
    variables.fill(var);
    EXPECT_STREQ(var.value.text, "SECOND");
}

TEST(MouseGeometry, TheMiddleOfAHugeAreaDoesNotOverflow) {
    panel::MouseAreaRecord area;
    area.x = std::numeric_limits<int32_t>::max() - 1;
    area.width = std::numeric_limits<int32_t>::max();
    area.y = -10;
    area.height = 21;
    const auto [x, y] = panel::FrameDriver::middle_of(area);
    EXPECT_EQ(x, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(y, 0);
}

TEST(MouseGroups, AreasOfNestedGroupsAreFoundWithTheirDepth) {
    GaugeSession session(probe("probe_nested_groups"), probe_catalogue());
    const auto& areas = session.records().mouse_areas;
    ASSERT_EQ(areas.size(), 3u);
    EXPECT_EQ(areas[0].group_depth, 2);
    EXPECT_EQ(areas[1].group_depth, 2);
    EXPECT_EQ(areas[2].group_depth, 1);
    EXPECT_NE(session.click(12, 12), nullptr);
}

TEST(ModuleErrors, NameTheFileAndWhatIsWrong) {
    EXPECT_EQ(open_error(probe("does_not_exist")), probe("does_not_exist") + ": no such file");
    EXPECT_TRUE(contains(open_error(probe("probe_no_linkage")), "exports no Linkage record"));
    EXPECT_TRUE(contains(open_error(probe("probe_wrong_import")), "ImportTable names service table 0x7"));
    EXPECT_TRUE(contains(open_error(probe("probe_no_gauge")), "Linkage lists no gauge"));
    EXPECT_TRUE(contains(open_error(probe("probe_cyclic")), "cyclic"));
    EXPECT_TRUE(contains(open_error(probe("probe_wrong_module_id")), "module id 0x12, expected 0x13"));
    EXPECT_TRUE(contains(open_error(probe("probe_wrong_version")), "version 0x700, expected 0x800"));
    EXPECT_TRUE(contains(open_error(probe("probe_wrong_header")), "header version is 0x310, expected 0x320"));
}

// Each walk is bounded by what its record holds, not by a generous cap past it.
TEST(ModuleErrors, ListsThatRunPastTheirRecordAreReported) {
    const std::string linkage = open_error(probe("probe_unterminated_linkage"));
    EXPECT_TRUE(contains(linkage, "gauge list has no NULL within the record")) << linkage;
    const std::string mouse = open_error(probe("probe_unterminated_mouse"));
    EXPECT_TRUE(contains(mouse, ": gauge probe: mouse")) << mouse;
    const std::string name = open_error(probe("probe_long_name"));
    EXPECT_TRUE(contains(name, "name is not a text of at most 256 characters")) << name;
}

TEST(ModuleErrors, AFileThatIsNoLibraryIsRejected) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("panel_not_a_module_" + std::to_string(getpid()) + ".so");
    std::ofstream(path) << "this is a text file\n";
    const std::string message = open_error(path.string());
    std::filesystem::remove(path);
    EXPECT_EQ(message.rfind(path.string() + ": ", 0), 0u) << message;
}

// A bare file name must mean the file in the current folder, never a library of that name
// somewhere on the loader's search path.
TEST(ModulePaths, ABareFileNameIsTheFileInTheCurrentFolder) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(PROBE_DIR);
    std::string loaded;
    try {
        GaugeSession session("probe_good.so", probe_catalogue());
        loaded = session.records().module;
    } catch (const std::exception& error) {
        loaded = error.what();
    }
    std::filesystem::current_path(before);
    EXPECT_EQ(loaded, probe("probe_good"));
}

// A module's state is its own static data, so a second gauge from the same file would be the
// same instrument: refused, unless loaded as a separate instance.
TEST(ModuleInstances, ASecondLoadOfOneFileNeedsASeparateInstance) {
    GaugeSession first(probe("probe_good"), probe_catalogue());
    const std::string refused = open_error(probe("probe_good"));
    EXPECT_TRUE(contains(refused, "already loaded")) << refused;

    GaugeSession second(probe("probe_good"), probe_catalogue(), panel::ModuleInstance::separate);
    first.run_frame();
    first.run_frame();
    second.run_frame();
    EXPECT_EQ(first.result(3), 2.0);   // two updates of the first instance
    EXPECT_EQ(second.result(3), 1.0);  // one of the second: its own state
}

TEST(VariableTypes, AValueOfTheWrongTypeIsRefusedWithItsName) {
    panel::VariableStore store;  // the simulator's catalogue
    try {
        store.set_number(839, 1.0);
        ADD_FAILURE() << "a number was set on a text variable";
    } catch (const panel::VariableError& error) {
        EXPECT_STREQ(error.what(), "variable 839 (waypoint_id) holds a text, not a number");
    }
    EXPECT_THROW(store.set_integer(839, 4096), panel::VariableError);
    EXPECT_THROW(store.set_text(773, "1"), panel::VariableError);
    EXPECT_THROW(store.set_number(27, 113.45), panel::VariableError);
    EXPECT_THROW(store.set_number(99999, 1.0), panel::VariableError);
    // Reading any id is fine: what the simulator does not have reads 0.0.
    ModuleVar var{.id = 99999};
    var.value.number = 5.0;
    store.fill(var);
    EXPECT_EQ(var.value.number, 0.0);
}

TEST(VariableTypes, TheCatalogueHoldsEachIdAndNameOnce) {
    const panel::Catalogue& catalogue = panel::simulator_catalogue();
    std::set<uint32_t> ids;
    std::set<std::string_view> names;
    for (const panel::VariableInfo& info : catalogue.variables()) {
        EXPECT_TRUE(ids.insert(info.id).second) << info.id;
        EXPECT_TRUE(names.insert(info.name).second) << info.name;
        EXPECT_EQ(catalogue.variable(info.name), &info);
    }
    for (const panel::KeyEventInfo& info : catalogue.events()) {
        EXPECT_TRUE(names.insert(info.name).second) << info.name;
        EXPECT_EQ(catalogue.event(info.id), &info);
    }
    EXPECT_EQ(catalogue.variable(0u), nullptr);  // id 0 is no variable: it always reads 0.0
}

TEST(VariableHandoffs, BringValuesFromAnotherThreadInTheOrderPosted) {
    panel::VariableHandoff handoff;
    std::thread receiver([&] {
        for (int i = 1; i <= 1000; ++i) handoff.post_number(773, i);
        handoff.post_text(839, "KSFO");
    });
    receiver.join();
    EXPECT_THROW(handoff.post_number(839, 1.0), panel::VariableError);  // refused at once, in the sender
    panel::VariableStore store;
    EXPECT_EQ(handoff.apply_to(store), 1001u);
    EXPECT_EQ(store.number(773), 1000.0);
    EXPECT_EQ(store.text(839), "KSFO");
    EXPECT_EQ(handoff.apply_to(store), 0u);
}

TEST(EventLogs, KeepAtMostTheirCapacityAndCountTheRest) {
    panel::EventLog log(3);
    for (uint32_t i = 0; i < 10; ++i) log.record_event(i, 0);
    EXPECT_EQ(log.events().size(), 3u);
    EXPECT_EQ(log.dropped(), 7u);
    log.clear();
    EXPECT_TRUE(log.empty());
}

TEST(Services, NeverThrowIntoModuleCode) {
    static_assert(noexcept(panel::record_cue_request(nullptr, 0)));
    static_assert(noexcept(panel::ServiceScope::active()));
    // Outside every scope the services answer nothing and return.
    ServiceTable* table = panel::host_service_table();
    ModuleVar var{.id = 773};
    EXPECT_EQ(table->lookup_var(&var), 0u);
    EXPECT_EQ(table->lookup_var(nullptr), 0u);
    EXPECT_EQ(table->trigger_key_event(1, 0), 0u);
}

}  // namespace
