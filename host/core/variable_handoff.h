// Values set from another thread (a network receiver, say) reach the frame loop through this
// hand-off: the sender posts, the frame thread applies everything posted so far to its own
// store between frames. The store itself is never shared between threads.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "simulator_catalogue.h"
#include "variable_store.h"

namespace panel {

class VariableHandoff {
public:
    explicit VariableHandoff(const Catalogue& catalogue = simulator_catalogue()) : catalogue_(catalogue) {}

    // Any thread. Each throws VariableError at once for an id or type the store would refuse.
    void post_number(uint32_t id, double value);
    void post_integer(uint32_t id, int32_t value);
    void post_text(uint32_t id, std::string_view text);
    void post_null_text(uint32_t id);

    // The frame thread, between frames: applies every value posted since the last call, in
    // the order posted. Returns how many were applied.
    size_t apply_to(VariableStore& store);

private:
    struct Update {
        uint32_t id;
        VariableType type;
        bool null_text = false;
        double number = 0.0;
        int32_t integer = 0;
        std::string text;
    };

    void post(Update update);

    const Catalogue& catalogue_;
    std::mutex mutex_;
    std::vector<Update> pending_;
    std::vector<Update> applying_;  // swapped with pending_, so steady use allocates nothing
};

}  // namespace panel
