// Fields of the DME state record that nothing on the face shows, through the module's own
// objects linked into this test.
#include <gtest/gtest.h>

#include <limits>

#include "dme_callbacks.h"
#include "dme_state.h"
#include "module_exports.h"
#include "service_table.h"

namespace {

class DmeStateRecord : public ::testing::Test {
protected:
    panel::VariableStore variables;
    panel::EventLog log;
    panel::ServiceContext context{&variables, &log};
    panel::ServiceScope scope{context};

    void SetUp() override {
        ImportTable.panel_services.pointer = panel::host_service_table();
        dme_gauge_callback(nullptr, SERVICE_PRE_DRAW, 0);
    }
    void pre_update() { dme_gauge_callback(nullptr, SERVICE_PRE_UPDATE, 0); }
};

TEST_F(DmeStateRecord, TimeAtSpeedZeroIsNinetyNineInTheRecordToo) {
    char text[GAUGE_TEXT_CAPACITY] = {};
    StringElement element{};
    element.text = text;
    dme.distance = 12.34f;
    dme.speed = 140;
    time_readout(&element);
    EXPECT_EQ(dme.time_minutes, 5.28857136f);  // 12.34 / 140 x 60, in float
    dme.speed = 0;
    EXPECT_EQ(time_readout(&element), 99.0);
    EXPECT_EQ(dme.time_minutes, 99.0f);
    EXPECT_STREQ(text, " 99");
}

TEST_F(DmeStateRecord, SupplyAndSecondsTruncateSaturateAndTreatNanAsZero) {
    const double nan_value = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        double input;
        int32_t whole;
        int32_t blink;
    };
    const Row rows[] = {
        {4.7, 4, 1}, {3.2, 3, 0},       {-2.5, -2, 1},         {-3.0, -3, 0},
        {1.9, 1, 0}, {nan_value, 0, 1}, {1e300, INT32_MAX, 0}, {-1e300, INT32_MIN, 1},
    };
    for (const Row& row : rows) {
        variables.set_number(773, row.input);
        variables.set_number(604, row.input);
        pre_update();
        EXPECT_EQ(dme.supply_state, row.whole) << row.input;
        EXPECT_EQ(dme.whole_seconds, row.whole) << row.input;
        EXPECT_EQ(dme.blink_phase, row.blink) << row.input;
    }
}

}  // namespace
