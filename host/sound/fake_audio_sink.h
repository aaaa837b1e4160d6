// A sink that only remembers what it was asked to play, in order: for tests, and for hosts
// that must pretend to have a device.
#pragma once

#include <memory>
#include <vector>

#include "audio_sink.h"

namespace panel::sound {

class FakeAudioSink : public AudioSink {
public:
    explicit FakeAudioSink(bool available = true) : available_(available) {}

    std::shared_ptr<const PcmSound> prepare(std::shared_ptr<const PcmSound> sound) override {
        ++prepared_;
        return sound;
    }
    // Remembered even when unavailable, so that a test sees a caller that did not check.
    void start(std::shared_ptr<const PcmSound> sound) override { started_.push_back(std::move(sound)); }
    bool available() const override { return available_; }

    const std::vector<std::shared_ptr<const PcmSound>>& started() const { return started_; }
    // How many sounds were converted for it.
    int prepared() const { return prepared_; }
    // What would be heard now: the last sound started, which cut every earlier one.
    const PcmSound* playing() const { return started_.empty() ? nullptr : started_.back().get(); }

private:
    bool available_;
    int prepared_ = 0;
    std::vector<std::shared_ptr<const PcmSound>> started_;
};

}  // namespace panel::sound
