// What a gauge asked of the host: variable lookups, simulator events and cue sounds, in order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace panel {

struct KeyEvent {
    uint32_t id;
    uint32_t value;
    bool operator==(const KeyEvent&) const = default;
};

struct CueRequest {
    std::string path;
    uint32_t flags;
    bool operator==(const CueRequest&) const = default;
};

class EventLog {
public:
    void record_lookup(uint32_t id) { lookups_.push_back(id); }
    void record_event(uint32_t id, uint32_t value) { events_.push_back({id, value}); }
    void record_cue(std::string path, uint32_t flags) { cues_.push_back({std::move(path), flags}); }

    const std::vector<uint32_t>& lookups() const { return lookups_; }
    const std::vector<KeyEvent>& events() const { return events_; }
    const std::vector<CueRequest>& cues() const { return cues_; }

    void clear() {
        lookups_.clear();
        events_.clear();
        cues_.clear();
    }

private:
    std::vector<uint32_t> lookups_;
    std::vector<KeyEvent> events_;
    std::vector<CueRequest> cues_;
};

}  // namespace panel
