// The gauges' key events carried out on FlightGear: one row per catalogue event, each saying
// what it writes through the property server. The paths are those of the protocol's chunks, so
// an aircraft whose instruments sit elsewhere needs its protocol file changed only:
//   the altimeter setting  the node of chunk altimeter-setting-hpa
//   the DME frequency      the node of chunk dme-frequency-mhz, and `source` beside it
//   the GPS                the node of chunk wp-id, less its /wp/wp[1]/ID
// The DME's frequency selection is kept here, as the simulated radio keeps it, and only the
// tuning is written. A value written shows on the gauges at once and until FlightGear reports
// it (or for a few seconds, if it never does).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chunk_mapping.h"
#include "dme_selection.h"
#include "event_log.h"
#include "generic_protocol.h"
#include "simulator_catalogue.h"
#include "variable_store.h"

namespace panel::live {

struct PropertyWrite {
    std::string path;
    std::string value;
};

class EventWrites;

struct EventRow {
    std::string_view event;   // the catalogue's name
    std::string_view writes;  // what FlightGear is told, in words
    // Appends the writes, or returns why the event cannot be carried out now.
    std::string (*carry_out)(EventWrites& writes, const LiveVariables& values, std::vector<PropertyWrite>& out);
};

// Every row, for the pilots' README and the tests.
std::span<const EventRow> event_rows();

class EventWrites {
public:
    // How long a written value is shown before FlightGear's own is believed again.
    static constexpr double pending_seconds = 3.0;

    EventWrites(const Protocol& protocol, const Catalogue& catalogue);

    struct Outcome {
        bool known = false;   // the table has the event
        std::string problem;  // why it was not carried out, or ""
        std::vector<PropertyWrite> writes;
    };
    // `now` is the feed's clock.
    Outcome carry_out(uint32_t event_id, const LiveVariables& values, double now);

    // After the chunks filled the store: the DME's tuned and selected frequencies, and any value
    // written but not yet reported back.
    void fill(VariableStore& store, const LiveVariables& values, double now);

    // For the rows.
    std::string baro_step(const LiveVariables& values, double step, std::vector<PropertyWrite>& out);
    std::string dme_select(std::vector<PropertyWrite>& out);
    std::string dme_step(int megahertz, int channels);
    std::string direct_to(const LiveVariables& values, std::vector<PropertyWrite>& out);

private:
    struct Pending {
        double value = 0.0;
        double until = 0.0;
    };

    const Catalogue& catalogue_;
    std::string baro_path_;  // empty: not in the protocol
    std::string dme_path_, dme_source_path_;
    std::string gps_path_;
    std::optional<DmeSelection> dme_;  // from the first reported frequency on
    std::optional<Pending> baro_written_;
    std::optional<Pending> dme_written_;  // in hundredths
    double now_ = 0.0;
    uint32_t baro_id_, dme_frequency_id_, dme_set_frequency_id_;
};

}  // namespace panel::live
