// Drawing both faces in a busy state against blitting only their two backgrounds onto the same
// surfaces, and the heap allocations a frame costs once running.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "bench_targets.h"
#include "dib_surface.h"
#include "fonts.h"
#include "gauge_renderer.h"
#include "gauge_session.h"

PANEL_RATIO_TARGET(draw_vs_backgrounds, "BM_DrawBothFaces", "BM_DrawBackgrounds", at_most, 4.0);

// Allocations are counted by wrapping the C library's allocator, which cairo, Pango and the
// C++ runtime all reach; a sanitizer brings its own allocator, so nothing is counted there.
// The renderer itself allocates nothing for an unchanged face; cairo's image compositor
// allocates two short-lived objects for every picture it paints, and no more is allowed.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define PANEL_COUNT_ALLOCATIONS 0
// fontconfig keeps a few hundred bytes of its own until the process ends.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#else
#define PANEL_COUNT_ALLOCATIONS 1
PANEL_COUNTER_TARGET(draw_allocations_per_picture, "BM_DrawBothFaces", "allocations_per_picture", at_most, 2.0);
#endif

namespace {

std::atomic<uint64_t> allocation_count{0};

}  // namespace

#if PANEL_COUNT_ALLOCATIONS
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);

void* malloc(size_t size) {
    allocation_count.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
    allocation_count.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, size_t size) {
    allocation_count.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(pointer, size);
}
void* memalign(size_t alignment, size_t size) {
    allocation_count.fetch_add(1, std::memory_order_relaxed);
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
    return memalign(alignment, size);
}
int posix_memalign(void** result, size_t alignment, size_t size) {
    void* pointer = memalign(alignment, size);
    if (pointer == nullptr) return 12;  // ENOMEM
    *result = pointer;
    return 0;
}
void free(void* pointer) {
    __libc_free(pointer);
}
}
#endif

namespace {

using panel::render::CairoPtr;
using panel::render::SurfacePtr;

// One face: the module running, its renderer, and the surface it is drawn on.
struct Face {
    Face(const char* module, panel::render::FontBook& fonts)
        : session(std::string(PANEL_MODULE_DIR) + "/" + module + ".so"),
          bitmaps(
              panel::bitmaps_for_module(std::string(PANEL_MODULE_DIR) + "/" + module + ".so", session.records().name)),
          renderer(session.records(), *bitmaps, fonts),
          background(panel::render::surface_from_dib(*bitmaps->find(session.records().elements.front().resource_id))),
          surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, renderer.width(), renderer.height())),
          cr(cairo_create(surface.get())) {}

    void draw() { renderer.draw(cr.get(), session.gauge().elements()); }
    void draw_background() {
        cairo_set_source_surface(cr.get(), background.get(), 0, 0);
        cairo_paint(cr.get());
    }

    panel::GaugeSession session;
    std::unique_ptr<panel::BitmapSource> bitmaps;
    panel::render::GaugeRenderer renderer;
    SurfacePtr background;
    SurfacePtr surface;
    CairoPtr cr;
};

// Both faces busy: the GPS supplied, switched on and running on page 1 with a waypoint; the
// DME on, receiving, in FREQ.
struct Panel {
    Panel() : gps("GPS_Corvane_PX40", fonts), dme("VER2_Corvane_VX_RD22", fonts) {
        panel::VariableStore& g = gps.session.variables();
        g.set_number(773, 1.0);     // supply
        g.set_number(1, 100.0);     // tick
        g.set_number(604, 1000.0);  // seconds
        g.set_number(835, 22850.0);
        g.set_number(832, 73.0);
        g.set_number(836, 4.8);
        g.set_number(838, 4.78);
        g.set_text(839, "KSEA");
        gps.session.run_frame();
        gps.session.click(62, 121);  // OFF/ON knob to ON
        gps.session.run_frame();
        g.set_number(1, 154.0);  // start-up over
        gps.session.run_frame();
        gps.session.click(376, 138);  // ENT: confirmed
        gps.session.run_frame();

        panel::VariableStore& d = dme.session.variables();
        dme.session.run_frame();
        dme.session.click(310, 60);  // power on
        d.set_number(773, 1.0);
        d.set_number(58, 300.0);  // reception
        d.set_number(35, 12.3);
        d.set_number(36, 141.0);
        d.set_integer(27, 0x1345);
        dme.session.run_frame();
        dme.session.click(305, 30);  // FREQ
        dme.session.run_frame();
        // A first frame lays out every text once.
        gps.draw();
        dme.draw();
    }

    panel::render::FontBook fonts;
    Face gps, dme;
};

Panel& busy_panel() {
    static Panel panel;
    return panel;
}

void BM_DrawBothFaces(benchmark::State& state) {
    Panel& panel = busy_panel();
    const uint64_t before = allocation_count.load();
    for (auto _ : state) {
        panel.gps.draw();
        panel.dme.draw();
    }
    const double frames = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    const double allocations = static_cast<double>(allocation_count.load() - before) / frames;
    const int pictures = panel.gps.renderer.pictures_painted() + panel.dme.renderer.pictures_painted();
    state.counters["allocations"] = allocations;
    state.counters["pictures"] = pictures;
    state.counters["allocations_per_picture"] = allocations / std::max(pictures, 1);
}
BENCHMARK(BM_DrawBothFaces);

void BM_DrawBackgrounds(benchmark::State& state) {
    Panel& panel = busy_panel();
    for (auto _ : state) {
        panel.gps.draw_background();
        panel.dme.draw_background();
    }
}
BENCHMARK(BM_DrawBackgrounds);

}  // namespace
