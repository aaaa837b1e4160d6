// png_region_diff A.png B.png X Y WIDTH HEIGHT: prints how many pixels of the rectangle differ
// between two pictures of the same size (exit 2 when either cannot be read). For the window
// tests, which compare screenshots taken before and after a real click.
#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s A.png B.png X Y WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    cairo_surface_t* a = cairo_image_surface_create_from_png(argv[1]);
    cairo_surface_t* b = cairo_image_surface_create_from_png(argv[2]);
    if (cairo_surface_status(a) != CAIRO_STATUS_SUCCESS || cairo_surface_status(b) != CAIRO_STATUS_SUCCESS ||
        cairo_image_surface_get_width(a) != cairo_image_surface_get_width(b) ||
        cairo_image_surface_get_height(a) != cairo_image_surface_get_height(b)) {
        std::fprintf(stderr, "%s, %s: not two readable pictures of one size\n", argv[1], argv[2]);
        return 2;
    }
    const int x0 = std::atoi(argv[3]), y0 = std::atoi(argv[4]), w = std::atoi(argv[5]), h = std::atoi(argv[6]);
    long differing = 0;
    for (int y = y0; y < y0 + h && y < cairo_image_surface_get_height(a); ++y) {
        for (int x = x0; x < x0 + w && x < cairo_image_surface_get_width(a); ++x) {
            const auto* pa = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(a) +
                                                               y * cairo_image_surface_get_stride(a));
            const auto* pb = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(b) +
                                                               y * cairo_image_surface_get_stride(b));
            if (pa[x] != pb[x]) ++differing;
        }
    }
    std::printf("%ld\n", differing);
    cairo_surface_destroy(a);
    cairo_surface_destroy(b);
    return 0;
}
