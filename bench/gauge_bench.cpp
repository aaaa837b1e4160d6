// The gauges' frames against their floor, the text formatting they cannot avoid, and the host
// core's share of a frame against the module's.
//
// The module's work in a frame is its gauge callback (pre-update with every lookup_var, then
// pre-draw) and every element callback, called directly on the module's own records with a
// minimal service table whose lookup_var copies from a fixed array. The reference makes the
// same snprintf calls as the frame's string callbacks: the same formats, the same values, into
// 32-byte buffers. A frame through the host core (FrameDriver: variable refresh, text buffers,
// the service context, and the hover hit-test a window asks for every frame) less the module's
// work is the host's share.
//
// Each target is measured inside one benchmark, its sides alternating in batches and timed on
// this thread's CPU clock, so that a shared machine's load falls on both sides alike; the DME
// target takes the worse of its two modes.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "bench_targets.h"
#include "frame_driver.h"
#include "in_process_gauge.h"
#include "new_counter.h"
#include "service_table.h"
#include "variable_store.h"

PANEL_COUNTER_TARGET(gps_frame_vs_formats, "BM_GpsFrameVsFormats", "ratio", at_most, 1.2);
PANEL_COUNTER_TARGET(dme_frame_vs_formats, "BM_DmeFrameVsFormats", "ratio", at_most, 1.2);
PANEL_COUNTER_TARGET(host_vs_module, "BM_HostVsModule", "ratio", at_most, 0.5);
PANEL_COUNTER_TARGET(gauge_allocations_per_frame, "BM_GaugeFrameAllocations", "allocations", at_most, 0.0);

// The host's allocations are C++ ones; the modules cannot allocate at all (their import lists
// hold no allocator, checked by the module tests).
namespace {

using namespace panel;

// ---------------------------------------------------------------------------------------------
// What the reference formats: one entry per string element of a face, in draw order, with the
// format its callback uses and where the value comes from.

enum class Source {
    returned,   // the value the callback returned, which is the value it formatted
    own_text,   // the text of the element's own variable, with "%s"
    fixed,      // a fixed text, with "%s"
    frequency,  // the MHz figure of the element's own BCD word (the readout returns 13)
};

struct FormatCall {
    size_t element;  // draw-order number, the background being 1
    const char* format;
    Source source;
    const char* fixed_text = nullptr;
};

constexpr FormatCall gps_format_calls[] = {
    // clang-format off
    {6, "%4.0fmb", Source::returned},         {7, "%.0fft", Source::returned},
    {8, "%03.0f\xB0", Source::returned},      {9, "%03.0f\xB0", Source::returned},
    {11, "%s", Source::own_text},             {14, "%s", Source::fixed, ">"},
    {17, "%3.1fnm", Source::returned},        {18, "%3.1fnm", Source::returned},
    {19, "%3.0fkt", Source::returned},        {21, "%1.0f", Source::returned},
    {22, "DTK %03.0f\xB0", Source::returned}, {23, "TK %03.0f\xB0", Source::returned},
    {24, ">%03.0f\xB0To", Source::returned},  {25, ">%03.0f\xB0" "Fr", Source::returned},
    {26, "%2.0f:", Source::returned},         {27, "%02.0f", Source::returned},
    {29, "%02.0f\xB0", Source::returned},     {30, "%05.2f'", Source::returned},
    {31, "%03.0f\xB0", Source::returned},     {32, "%05.2f'", Source::returned},
    {33, "%02.0f", Source::returned},         {34, "%02.0f", Source::returned},
    {35, "%02.0f", Source::returned},         {36, "%02.0f", Source::returned},
    {37, "%s", Source::own_text},             {38, "%02.0f", Source::returned},
    {39, "%02.0f", Source::returned},         {40, "%02.0f:", Source::returned},
    {41, "%02.0f", Source::returned},         {42, "%6.1fmb", Source::returned},
    {43, "%5.0fft", Source::returned},        {44, "%05.0f to", Source::returned},
    {45, "%03.0f00", Source::returned},       {46, "%s", Source::own_text},
    {47, "%05.1fnm", Source::returned},       {48, "%03.0f", Source::returned},
    {49, "%04.0ffpm", Source::returned},      {50, "%.0f", Source::returned},
    // clang-format on
};

constexpr FormatCall dme_format_calls[] = {
    {8, "%3.1f", Source::returned},   {9, "%03.0f", Source::returned},  {10, "%3.0f", Source::returned},
    {11, "%3.2f", Source::frequency}, {12, "%3.2f", Source::frequency},
};

// The MHz figure a frequency word stands for: a leading 1, then its four BCD digits.
double frequency_mhz(int32_t word) {
    const auto w = static_cast<uint32_t>(word);
    char composed[GAUGE_TEXT_CAPACITY];
    std::snprintf(composed, sizeof composed, "1%u%u.%u%u", (w >> 12) & 0xF, (w >> 8) & 0xF, (w >> 4) & 0xF, w & 0xF);
    return static_cast<float>(std::atof(composed));
}

// The snprintf calls of one frame's string callbacks, resolved against a gauge that has run:
// checked there, text for text, so that they are the frame's very calls.
class FormatReference {
public:
    template <size_t N>
    FormatReference(const FormatCall (&calls)[N], const GaugeInstance& gauge, const VariableStore& variables) {
        const GaugeRecords& records = gauge.records();
        name_ = records.name;
        texts_.reserve(N);  // the resolved calls point into it
        size_t strings = 0;
        for (const ElementRecord& record : records.elements) strings += record.kind == ELEMENT_STRING ? 1 : 0;
        if (strings != N) {
            fail("the reference has " + std::to_string(N) + " calls for " + std::to_string(strings) +
                 " string elements");
        }
        for (const FormatCall& call : calls) {
            if (call.element < 1 || call.element > records.elements.size() ||
                records.elements[call.element - 1].kind != ELEMENT_STRING) {
                fail("element " + std::to_string(call.element) + " is not a string");
                continue;
            }
            const ElementRecord& record = records.elements[call.element - 1];
            const ElementState& state = gauge.elements()[call.element - 1];
            Resolved resolved{call.element, call.format, 0.0, nullptr};
            switch (call.source) {
                case Source::returned: resolved.number = state.value; break;
                case Source::own_text:
                    resolved.text = texts_.emplace_back(variables.text(record.own_variable).value_or("")).c_str();
                    break;
                case Source::fixed: resolved.text = call.fixed_text; break;
                case Source::frequency: resolved.number = frequency_mhz(variables.integer(record.own_variable)); break;
            }
            calls_.push_back(resolved);
        }
        buffers_.resize(calls_.size());
        run();
        check([&](size_t element) { return gauge.elements()[element - 1].text.data(); }, "the host's frame");
    }

    // One frame's worth of snprintf calls.
    void run() {
        for (size_t i = 0; i < calls_.size(); ++i) {
            const Resolved& call = calls_[i];
            char* buffer = buffers_[i].data();
            if (call.text != nullptr) {
                std::snprintf(buffer, GAUGE_TEXT_CAPACITY, call.format, call.text);
            } else {
                std::snprintf(buffer, GAUGE_TEXT_CAPACITY, call.format, call.number);
            }
        }
        benchmark::ClobberMemory();
    }

    // Each text the reference made is the one `text_of(element number)` gives.
    template <typename TextOf>
    void check(TextOf&& text_of, const std::string& what) {
        for (size_t i = 0; i < calls_.size(); ++i) {
            const char* frame_text = text_of(calls_[i].element);
            if (std::strcmp(frame_text, buffers_[i].data()) != 0) {
                fail("element " + std::to_string(calls_[i].element) + ": " + what + " wrote \"" + frame_text +
                     "\", the reference \"" + buffers_[i].data() + "\"");
            }
        }
    }

    const std::string& error() const { return error_; }

private:
    struct Resolved {
        size_t element;
        const char* format;
        double number;
        const char* text;  // set for "%s"
    };

    void fail(const std::string& what) {
        if (error_.empty()) error_ = name_ + ": " + what;
    }

    std::string name_;
    std::vector<Resolved> calls_;
    std::vector<std::string> texts_;
    std::vector<std::array<char, GAUGE_TEXT_CAPACITY>> buffers_;
    std::string error_;
};

// ---------------------------------------------------------------------------------------------
// The minimal service table: lookup_var copies each value from a fixed array, filled once from
// the host's store, so that a direct frame costs what the module's own calls cost.

constexpr uint32_t fixed_variable_count = 1024;
std::array<VarValue, fixed_variable_count> fixed_values{};

uint32_t GAUGE_CALL fixed_lookup_var(ModuleVar* var) {
    if (var->id < fixed_variable_count) var->value = fixed_values[var->id];
    return 0;
}

uint32_t GAUGE_CALL ignored_key_event(uint32_t, uint32_t) {
    return 0;
}

ServiceTable* minimal_service_table() {
    static ServiceTable table = [] {
        ServiceTable made{};
        made.lookup_var = fixed_lookup_var;
        made.trigger_key_event = ignored_key_event;
        return made;
    }();
    return &table;
}

void fill_fixed_values(const VariableStore& variables) {
    for (uint32_t id = 0; id < fixed_variable_count; ++id) {
        ModuleVar var{.id = id};
        variables.fill(var);
        fixed_values[id] = var.value;
    }
}

// CPU time of this thread in nanoseconds.
double thread_ns() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

template <typename Work>
double timed(int times, Work&& work) {
    const double start = thread_ns();
    for (int i = 0; i < times; ++i) work();
    return thread_ns() - start;
}

// Frames per timed batch: long enough (tens of microseconds) that reading the clock is noise.
constexpr int batch = 64;

// ---------------------------------------------------------------------------------------------
// One gauge loaded in this process, framed either way.

class BenchGauge {
public:
    BenchGauge(const char* module, ModuleInstance instance, VariableStore& variables, std::pair<int32_t, int32_t> hover)
        : gauge_(std::string(PANEL_MODULE_DIR) + "/" + module + ".so", instance),
          driver_(gauge_, variables),
          hover_(hover) {
        driver_.open();
        texts_.resize(gauge_.elements().size());
    }
    ~BenchGauge() { driver_.close(); }
    BenchGauge(const BenchGauge&) = delete;
    BenchGauge& operator=(const BenchGauge&) = delete;

    // A frame as the panel runs it through the host core, with the hover hit-test a window
    // makes every frame for its cursor; the point lies where no control is, so every area is
    // tested.
    void host_frame() {
        driver_.run_frame();
        benchmark::DoNotOptimize(driver_.mouse().cursor_at(hover_.first, hover_.second));
    }

    void click(int32_t x, int32_t y) { driver_.click(x, y); }
    const InProcessGauge& gauge() const { return gauge_; }
    const std::vector<std::array<char, GAUGE_TEXT_CAPACITY>>& direct_texts() const { return texts_; }

    // `times` frames of the module's own work: the minimal service table is the module's
    // and its string elements write into buffers of this object until they are done.
    double direct_frames(int times) {
        ImportEntry& services = gauge_.module().import_table().panel_services;
        void* host_table = services.pointer;
        services.pointer = minimal_service_table();
        const std::vector<ElementHeader*>& elements = gauge_.module_view().elements();
        for (size_t i = 0; i < elements.size(); ++i) {
            if (elements[i]->kind != ELEMENT_STRING) continue;
            reinterpret_cast<StringElement*>(elements[i])->text = texts_[i].data();
        }
        const double spent = timed(times, [&] { direct_frame(); });
        services.pointer = host_table;
        return spent;
    }

    double host_frames(int times) {
        return timed(times, [&] { host_frame(); });
    }

private:
    void direct_frame() {
        GaugeHeader& header = gauge_.module_view().header();
        header.gauge_callback(&header, SERVICE_PRE_UPDATE, 0);
        for (ElementHeader* element : gauge_.module_view().elements()) {
            switch (element->kind) {
                case ELEMENT_STRING: {
                    auto* string = reinterpret_cast<StringElement*>(element);
                    benchmark::DoNotOptimize(string->callback(string));
                    break;
                }
                case ELEMENT_ICON: {
                    auto* icon = reinterpret_cast<IconElement*>(element);
                    benchmark::DoNotOptimize(icon->callback(icon));
                    break;
                }
                case ELEMENT_SLIDER: {
                    auto* slider = reinterpret_cast<SliderElement*>(element);
                    benchmark::DoNotOptimize(slider->x_callback(slider));
                    benchmark::DoNotOptimize(slider->y_callback(slider));
                    break;
                }
                default: break;
            }
        }
        header.gauge_callback(&header, SERVICE_PRE_DRAW, 0);
        benchmark::ClobberMemory();
    }

    InProcessGauge gauge_;
    FrameDriver driver_;
    std::pair<int32_t, int32_t> hover_;
    std::vector<std::array<char, GAUGE_TEXT_CAPACITY>> texts_;  // by element index
};

// ---------------------------------------------------------------------------------------------
// The panel: the GPS running on page 1 in cruise, and the DME twice (a separate copy of the
// module, so that each keeps its own state): at RMT, and at FREQ with the frequency being set.
// Every input holds a realistic value and every readout formats a finite figure.

class GaugeBench {
public:
    GaugeBench() {
        VariableStore& v = variables_;
        v.set_number(773, 1.0);      // avionics supply
        v.set_number(1, 100.0);      // tick
        v.set_number(604, 43776.0);  // seconds: 12:09:36, when the flight timer starts
        v.set_number(836, 0.41);     // bearing to the waypoint, radians
        v.set_number(835, 27800.0);  // waypoint distance, metres
        v.set_number(837, 420.0);    // cross-track, metres
        v.set_number(832, 61.7);     // ground speed, m/s
        v.set_number(838, 0.38);     // desired track, radians
        v.set_number(614, 610.0);    // height above ground, metres
        v.set_number(6, 12.0);       // UTC
        v.set_number(7, 34.0);
        v.set_number(827, 47.52 * 111130.555557);  // latitude
        v.set_number(828, -122.23 * 11930430.0);   // longitude
        v.set_number(344, 270.0);                  // wind from
        v.set_number(81, 21.0);                    // heading
        v.set_number(343, 14.0);                   // wind speed
        v.set_number(61, 118.0);                   // airspeed
        v.set_number(74, 3500.0);                  // altitude
        v.set_number(45, 20.0);                    // OBS
        v.set_number(75, 1013.2);                  // baro
        v.set_number(84, 23.0);                    // RMI
        v.set_number(65, 640.0);                   // vertical speed, 2.5 m/s
        v.set_integer(831, 7);                     // status: flying a leg
        v.set_text(839, "PAE");                    // waypoint
        v.set_number(58, 300.0);                   // DME reception
        v.set_number(35, 12.6);                    // DME distance
        v.set_number(36, 138.4);                   // DME speed
        v.set_integer(27, 0x1680);                 // tuned 116.80
        v.set_integer(873, 0x1135);                // being set: 111.35

        // GPS: first frame (the reset), ON, the self-test over, ENT: running on page 1.
        gps.host_frame();
        gps.click(62, 121);
        gps.host_frame();
        v.set_number(1, 154.0);
        gps.host_frame();
        gps.click(376, 138);
        gps.host_frame();
        // DME: first frame, ON, powered by the next pre-update; the other copy to FREQ twice.
        for (BenchGauge* dme : {&dme_rmt, &dme_freq}) {
            dme->host_frame();
            dme->click(310, 60);
            dme->host_frame();
        }
        dme_freq.click(305, 30);
        dme_freq.click(305, 30);

        // Later in the flight: 25 minutes on the timer, an even second for the blinking figure.
        v.set_number(1, 27000.0);
        v.set_number(604, 45296.0);
        fill_fixed_values(v);
        for (int i = 0; i < 4; ++i) {
            for (BenchGauge* gauge : {&gps, &dme_rmt, &dme_freq}) {
                gauge->host_frame();
                gauge->direct_frames(1);
            }
        }
        check();
    }

    // Empty when the references are the frames' own calls and the direct frames write what
    // the host's frames do.
    const std::string& error() const { return error_; }

    VariableStore variables_;
    BenchGauge gps{"GPS_Corvane_PX40", ModuleInstance::only, variables_, {250, 60}};
    BenchGauge dme_rmt{"VER2_Corvane_VX_RD22", ModuleInstance::only, variables_, {100, 20}};
    BenchGauge dme_freq{"VER2_Corvane_VX_RD22", ModuleInstance::separate, variables_, {100, 20}};
    std::unique_ptr<FormatReference> gps_formats;
    std::unique_ptr<FormatReference> dme_rmt_formats;
    std::unique_ptr<FormatReference> dme_freq_formats;

private:
    void check() {
        gps_formats = std::make_unique<FormatReference>(gps_format_calls, gps.gauge(), variables_);
        dme_rmt_formats = std::make_unique<FormatReference>(dme_format_calls, dme_rmt.gauge(), variables_);
        dme_freq_formats = std::make_unique<FormatReference>(dme_format_calls, dme_freq.gauge(), variables_);
        const std::pair<FormatReference*, BenchGauge*> pairs[] = {
            {gps_formats.get(), &gps}, {dme_rmt_formats.get(), &dme_rmt}, {dme_freq_formats.get(), &dme_freq}};
        for (auto [reference, gauge] : pairs) {
            reference->check([&](size_t element) { return gauge->direct_texts()[element - 1].data(); },
                             "the direct frame");
            if (error_.empty()) error_ = reference->error();
        }
        // Running on page 1 (waypoint distance shown); RMT with its speed shown; the frequency
        // being set, shown in this even second.
        const bool as_wanted = !gps.gauge().elements()[18 - 1].hidden() &&
                               !dme_rmt.gauge().elements()[9 - 1].hidden() &&
                               !dme_freq.gauge().elements()[12 - 1].hidden();
        if (error_.empty() && !as_wanted) error_ = "the gauges are not in the state the benchmark wants";
    }

    std::string error_;
};

GaugeBench& bench() {
    static GaugeBench panel;
    return panel;
}

bool ready(benchmark::State& state) {
    if (bench().error().empty()) return true;
    state.SkipWithError(bench().error().c_str());
    return false;
}

void BM_GpsFrameVsFormats(benchmark::State& state) {
    if (!ready(state)) return;
    GaugeBench& b = bench();
    double frame = 0.0, formats = 0.0;
    for (auto _ : state) {
        frame += b.gps.direct_frames(batch);
        formats += timed(batch, [&] { b.gps_formats->run(); });
    }
    const double frames = static_cast<double>(state.iterations()) * batch;
    state.counters["frame_ns"] = frame / frames;
    state.counters["formats_ns"] = formats / frames;
    state.counters["ratio"] = frame / formats;
}
BENCHMARK(BM_GpsFrameVsFormats);

// The worse of the two modes counts.
void BM_DmeFrameVsFormats(benchmark::State& state) {
    if (!ready(state)) return;
    GaugeBench& b = bench();
    double rmt = 0.0, freq = 0.0, formats = 0.0;
    for (auto _ : state) {
        rmt += b.dme_rmt.direct_frames(batch);
        freq += b.dme_freq.direct_frames(batch);
        formats += timed(batch, [&] { b.dme_rmt_formats->run(); });
    }
    const double frames = static_cast<double>(state.iterations()) * batch;
    state.counters["rmt_ns"] = rmt / frames;
    state.counters["freq_ns"] = freq / frames;
    state.counters["formats_ns"] = formats / frames;
    state.counters["ratio"] = std::max(rmt, freq) / formats;
}
BENCHMARK(BM_DmeFrameVsFormats);

// Over both gauges: (host frame - module's work) / module's work.
void BM_HostVsModule(benchmark::State& state) {
    if (!ready(state)) return;
    GaugeBench& b = bench();
    double host = 0.0, module = 0.0;
    for (auto _ : state) {
        host += b.gps.host_frames(batch) + b.dme_rmt.host_frames(batch);
        module += b.gps.direct_frames(batch) + b.dme_rmt.direct_frames(batch);
    }
    const double frames = static_cast<double>(state.iterations()) * batch;
    state.counters["host_ns"] = host / frames;
    state.counters["module_ns"] = module / frames;
    state.counters["ratio"] = (host - module) / module;
}
BENCHMARK(BM_HostVsModule);

// Both ways of framing all three gauges, counting every C++ allocation.
void BM_GaugeFrameAllocations(benchmark::State& state) {
    if (!ready(state)) return;
    GaugeBench& b = bench();
    long frames = 0;
    if (!bench::new_counter_works()) {
        state.SkipWithError("the allocation counter counts nothing");
        return;
    }
    for (auto _ : state) {
        bench::count_new(true);
        for (BenchGauge* gauge : {&b.gps, &b.dme_rmt, &b.dme_freq}) {
            gauge->host_frame();
            gauge->direct_frames(1);
        }
        bench::count_new(false);
        ++frames;
    }
    state.counters["allocations"] = static_cast<double>(bench::new_count()) / static_cast<double>(frames);
}
BENCHMARK(BM_GaugeFrameAllocations);

}  // namespace
