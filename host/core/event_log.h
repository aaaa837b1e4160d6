// What a gauge asked of the host during one phase: variable lookups, simulator events and cue
// sounds, in order. Bounded: past `capacity` entries of a kind the rest are only counted, so
// a gauge that loops on a service cannot make the host grow without end.
#pragma once

#include <cstddef>
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
    explicit EventLog(size_t capacity = 1024) : capacity_(capacity) {
        lookups_.reserve(capacity);
        events_.reserve(capacity);
    }

    void record_lookup(uint32_t id) {
        if (lookups_.size() < capacity_) lookups_.push_back(id);
        else ++dropped_;
    }
    void record_event(uint32_t id, uint32_t value) {
        if (events_.size() < capacity_) events_.push_back({id, value});
        else ++dropped_;
    }
    void record_cue(std::string path, uint32_t flags) {
        if (cues_.size() < capacity_) cues_.push_back({std::move(path), flags});
        else ++dropped_;
    }
    // Entries another log could not keep, counted here too.
    void add_dropped(size_t count) { dropped_ += count; }
    // Everything `other` holds, appended (and bounded) here.
    void append(const EventLog& other) {
        for (uint32_t id : other.lookups_) record_lookup(id);
        for (const KeyEvent& event : other.events_) record_event(event.id, event.value);
        for (const CueRequest& cue : other.cues_) record_cue(cue.path, cue.flags);
        dropped_ += other.dropped_;
    }

    const std::vector<uint32_t>& lookups() const { return lookups_; }
    const std::vector<KeyEvent>& events() const { return events_; }
    const std::vector<CueRequest>& cues() const { return cues_; }
    // Entries past the capacity, counted but not kept.
    size_t dropped() const { return dropped_; }
    bool empty() const { return lookups_.empty() && events_.empty() && cues_.empty() && dropped_ == 0; }

    void clear() {
        lookups_.clear();
        events_.clear();
        cues_.clear();
        dropped_ = 0;
    }

private:
    size_t capacity_;
    size_t dropped_ = 0;
    std::vector<uint32_t> lookups_;
    std::vector<KeyEvent> events_;
    std::vector<CueRequest> cues_;
};

}  // namespace panel
