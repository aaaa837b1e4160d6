#include "contact_sheet.h"

#include <algorithm>

#include "paint.h"

namespace artwork {

namespace {

constexpr int SHEET_W = 1040, MARGIN = 16, GAP = 14, CAPTION_H = 26;
constexpr Rgb PAPER{222, 222, 218};
constexpr Rgb INK{28, 28, 30};
constexpr Rgb CHECK_A{44, 30, 52}, CHECK_B{64, 44, 74};  // shows where pixels are transparent

int scale_for(const Image& image) {
    const int side = std::max(image.width, image.height);
    return side < 40 ? 3 : side < 100 ? 2 : 1;
}

// Pixels at `scale`, pure black shown as a purple checkerboard.
Image magnified(const Image& image, int scale) {
    Image out(image.width * scale, image.height * scale);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const Rgb& p = image.at(x / scale, y / scale);
            out.at(x, y) = p == TRANSPARENT ? (((x / 4 + y / 4) & 1) ? CHECK_A : CHECK_B) : p;
        }
    return out;
}

struct Item {
    Image picture;
    std::string title, detail;
};

struct Placed {
    const Item* item;
    int x, y;
};

// Flows items left to right, returns the height used below `top`.
int flow(const std::vector<Item>& items, int top, std::vector<Placed>& placed) {
    int x = MARGIN, y = top, row_h = 0;
    for (const Item& item : items) {
        const int w = std::max(item.picture.width, 112);
        if (x + w > SHEET_W - MARGIN && x > MARGIN) {
            x = MARGIN;
            y += row_h + GAP;
            row_h = 0;
        }
        placed.push_back({&item, x, y});
        x += w + GAP;
        row_h = std::max(row_h, item.picture.height + CAPTION_H);
    }
    return y + row_h - top;
}

}  // namespace

void write_contact_sheet(const std::vector<ModuleArt>& modules, const Fonts& fonts, const std::string& path) {
    // Lay out once to learn the height, then draw.
    struct Section {
        std::string heading;
        std::vector<Item> views, bitmaps;
    };
    std::vector<Section> sections;
    for (const ModuleArt& m : modules) {
        Section s{m.name, {}, {}};
        for (const FaceView& v : m.views) s.views.push_back({v.image, v.name, ""});
        for (const Bitmap& b : m.bitmaps) {
            const int scale = scale_for(b.image);
            std::string detail = std::to_string(b.image.width) + "x" + std::to_string(b.image.height) +
                                 (b.depth == Depth::Rgb24 ? " 24-bit" : " 8-bit");
            if (scale > 1) detail += " (x" + std::to_string(scale) + ")";
            s.bitmaps.push_back({magnified(b.image, scale), std::to_string(b.id) + "  " + b.caption, detail});
        }
        sections.push_back(std::move(s));
    }
    std::vector<Placed> placed;
    std::vector<std::pair<std::string, int>> headings;
    int y = MARGIN;
    for (const Section& s : sections) {
        headings.push_back({s.heading, y});
        y += 24;
        y += flow(s.views, y, placed) + GAP;
        y += flow(s.bitmaps, y, placed) + GAP * 2;
    }

    Canvas sheet(SHEET_W, y);
    cairo_t* cr = sheet.cr();
    cairo_rectangle(cr, 0, 0, SHEET_W, y);
    set_colour(cr, PAPER);
    cairo_fill(cr);
    for (const auto& [text, at] : headings) draw_text(cr, fonts, {Font::SansBold, 15, INK, 0}, MARGIN, at + 15, text);
    for (const Placed& p : placed) {
        sheet.draw_image(p.item->picture, p.x, p.y, false);
        const int below = p.y + p.item->picture.height;
        draw_text(cr, fonts, {Font::SansBold, 10, INK, 0}, p.x, below + 12, p.item->title);
        if (!p.item->detail.empty())
            draw_text(cr, fonts, {Font::Sans, 9, Rgb{80, 80, 84}, 0}, p.x, below + 23, p.item->detail);
    }
    sheet.write_png(path);
}

}  // namespace artwork
