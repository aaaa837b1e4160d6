// A gauge whose module is loaded into this process: the records checked and read once at
// load, every call made inside a service scope, and what the calls leave copied out as plain
// element states. The module's own memory stays behind this class; only tools that check a
// module itself (module_view()) look at it.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <vector>

#include "gauge_instance.h"
#include "gauge_view.h"
#include "loaded_module.h"
#include "service_table.h"

namespace panel {

// What a mouse handler is given as its first argument: the click, in gauge pixels.
struct ClickPoint {
    int32_t x;
    int32_t y;
};

class InProcessGauge final : public GaugeInstance {
public:
    // Throws ModuleError naming the file when it is not a usable gauge module.
    explicit InProcessGauge(const std::filesystem::path& path, ModuleInstance instance = ModuleInstance::only);
    ~InProcessGauge() override;

    const GaugeRecords& records() const override { return records_; }
    const std::vector<ElementState>& elements() const override { return states_; }

    void open(HostCalls calls) override;
    void close(HostCalls calls) override;
    void call_gauge(int32_t service_id, HostCalls calls) override;
    void update_elements(HostCalls calls) override;
    void click_area(size_t index, uint32_t event_class, int32_t x, int32_t y, HostCalls calls) override;
    std::vector<std::string> record_lines() const override;

    // For tools that check the module itself: its library and its checked records.
    const LoadedModule& module() const { return module_; }
    const GaugeView& module_view() const { return view_; }

private:
    using TextBuffer = std::array<char, GAUGE_TEXT_CAPACITY>;

    // Runs `call` inside a service scope answering from `calls`, then reports a service that
    // failed and brings the element flags up to date.
    template <typename Call>
    void serve(HostCalls calls, Call&& call);
    void update(size_t index);
    void refresh_flags();

    LoadedModule module_;
    GaugeView view_;
    GaugeRecords records_;
    std::vector<ElementState> states_;
    // One buffer per string element, each its own allocation so that a write past its end is
    // caught by the address sanitizer; null for other kinds.
    std::vector<std::unique_ptr<TextBuffer>> texts_;
    bool opened_ = false;
};

}  // namespace panel
