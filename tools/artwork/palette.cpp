#include "palette.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>

namespace artwork {

namespace {

// Colours used by at least this many pixels keep an exact palette entry (up to MAX_PINNED).
constexpr uint32_t PIN_MIN_COUNT = 24;
constexpr size_t MAX_PINNED = 64;
constexpr int REFINE_PASSES = 5;

struct Colour {
    Rgb rgb;
    uint32_t count;
};

int64_t distance(const Rgb& a, const Rgb& b) {
    const int64_t dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    // Green weighs most and blue least, roughly as the eye does.
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

int channel(const Rgb& c, int which) {
    return which == 0 ? c.r : which == 1 ? c.g : c.b;
}

// Index of the nearest entry other than pure black; the lowest index wins a tie.
size_t nearest(const std::vector<Rgb>& palette, const Rgb& colour) {
    size_t best = palette.size();
    int64_t best_distance = INT64_MAX;
    for (size_t i = 0; i < palette.size(); ++i) {
        if (palette[i] == TRANSPARENT) continue;
        const int64_t d = distance(palette[i], colour);
        if (d < best_distance) {
            best_distance = d;
            best = i;
        }
    }
    return best;
}

Rgb weighted_mean(const std::vector<Colour>& colours, const std::vector<size_t>& members) {
    uint64_t sum[3] = {0, 0, 0}, weight = 0;
    for (size_t m : members) {
        const Colour& c = colours[m];
        sum[0] += uint64_t{c.rgb.r} * c.count;
        sum[1] += uint64_t{c.rgb.g} * c.count;
        sum[2] += uint64_t{c.rgb.b} * c.count;
        weight += c.count;
    }
    Rgb mean{static_cast<uint8_t>((sum[0] + weight / 2) / weight), static_cast<uint8_t>((sum[1] + weight / 2) / weight),
             static_cast<uint8_t>((sum[2] + weight / 2) / weight)};
    // A mean of dark colours may round to black, which would read as transparent.
    return mean == TRANSPARENT ? colours[members.front()].rgb : mean;
}

struct Box {
    std::vector<size_t> members;
    double error = 0.0;  // weighted squared spread around the mean
};

Box make_box(const std::vector<Colour>& colours, std::vector<size_t> members) {
    Box box{std::move(members), 0.0};
    const Rgb mean = weighted_mean(colours, box.members);
    for (size_t m : box.members) box.error += static_cast<double>(distance(colours[m].rgb, mean)) * colours[m].count;
    return box;
}

// Median cut: split the box with the largest spread at the weighted median of its widest
// channel until `budget` boxes exist or no box can be split.
std::vector<Rgb> median_cut(const std::vector<Colour>& colours, size_t budget) {
    std::vector<size_t> all(colours.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = i;
    std::vector<Box> boxes;
    boxes.push_back(make_box(colours, all));
    while (boxes.size() < budget) {
        size_t pick = boxes.size();
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].members.size() < 2) continue;
            if (pick == boxes.size() || boxes[i].error > boxes[pick].error) pick = i;
        }
        if (pick == boxes.size()) break;
        std::vector<size_t> members = std::move(boxes[pick].members);
        int widest = 0, widest_range = -1;
        for (int ch = 0; ch < 3; ++ch) {
            int lo = 255, hi = 0;
            for (size_t m : members) {
                lo = std::min(lo, channel(colours[m].rgb, ch));
                hi = std::max(hi, channel(colours[m].rgb, ch));
            }
            if (hi - lo > widest_range) {
                widest_range = hi - lo;
                widest = ch;
            }
        }
        std::sort(members.begin(), members.end(), [&](size_t a, size_t b) {
            const int ca = channel(colours[a].rgb, widest), cb = channel(colours[b].rgb, widest);
            return ca != cb ? ca < cb : colours[a].rgb.key() < colours[b].rgb.key();
        });
        uint64_t total = 0;
        for (size_t m : members) total += colours[m].count;
        uint64_t running = 0;
        size_t split = 1;
        for (size_t i = 0; i + 1 < members.size(); ++i) {
            running += colours[members[i]].count;
            split = i + 1;
            if (running * 2 >= total) break;
        }
        std::vector<size_t> low(members.begin(), members.begin() + static_cast<std::ptrdiff_t>(split));
        std::vector<size_t> high(members.begin() + static_cast<std::ptrdiff_t>(split), members.end());
        boxes[pick] = make_box(colours, std::move(low));
        boxes.push_back(make_box(colours, std::move(high)));
    }
    std::vector<Rgb> result;
    for (const Box& box : boxes) result.push_back(weighted_mean(colours, box.members));
    return result;
}

}  // namespace

IndexedImage quantise(const Image& image) {
    std::map<uint32_t, uint32_t> counts;
    for (const Rgb& p : image.pixels) ++counts[p.key()];
    std::vector<Colour> colours;
    for (const auto& [key, count] : counts)
        colours.push_back(
            {Rgb{static_cast<uint8_t>(key >> 16), static_cast<uint8_t>(key >> 8), static_cast<uint8_t>(key)}, count});

    IndexedImage out{image.width, image.height, {}, {}};
    if (colours.size() <= 256) {
        for (const Colour& c : colours) out.palette.push_back(c.rgb);
    } else {
        std::vector<Colour> by_use = colours;
        std::stable_sort(by_use.begin(), by_use.end(),
                         [](const Colour& a, const Colour& b) { return a.count > b.count; });
        std::map<uint32_t, bool> pinned;
        if (counts.count(0)) {
            out.palette.push_back(TRANSPARENT);
            pinned[0] = true;
        }
        for (const Colour& c : by_use) {
            if (c.count < PIN_MIN_COUNT || pinned.size() >= MAX_PINNED) break;
            if (pinned.emplace(c.rgb.key(), true).second) out.palette.push_back(c.rgb);
        }
        const size_t fixed = out.palette.size();
        std::vector<Colour> rest;
        for (const Colour& c : colours)
            if (!pinned.count(c.rgb.key())) rest.push_back(c);
        for (const Rgb& c : median_cut(rest, 256 - fixed)) out.palette.push_back(c);

        // Lloyd refinement of the free entries; the pinned ones stay exact.
        for (int pass = 0; pass < REFINE_PASSES; ++pass) {
            std::vector<std::array<uint64_t, 4>> sums(out.palette.size(), {0, 0, 0, 0});
            for (const Colour& c : rest) {
                auto& s = sums[nearest(out.palette, c.rgb)];
                s[0] += uint64_t{c.rgb.r} * c.count;
                s[1] += uint64_t{c.rgb.g} * c.count;
                s[2] += uint64_t{c.rgb.b} * c.count;
                s[3] += c.count;
            }
            for (size_t i = fixed; i < out.palette.size(); ++i) {
                const auto& s = sums[i];
                if (s[3] == 0) continue;
                const Rgb mean{static_cast<uint8_t>((s[0] + s[3] / 2) / s[3]),
                               static_cast<uint8_t>((s[1] + s[3] / 2) / s[3]),
                               static_cast<uint8_t>((s[2] + s[3] / 2) / s[3])};
                if (!(mean == TRANSPARENT)) out.palette[i] = mean;
            }
        }
    }

    std::map<uint32_t, uint8_t> index_of;
    for (const Colour& c : colours) {
        const size_t index = c.rgb == TRANSPARENT
                                 ? static_cast<size_t>(std::find(out.palette.begin(), out.palette.end(), TRANSPARENT) -
                                                       out.palette.begin())
                                 : nearest(out.palette, c.rgb);
        index_of[c.rgb.key()] = static_cast<uint8_t>(index);
    }
    out.indices.reserve(image.pixels.size());
    for (const Rgb& p : image.pixels) out.indices.push_back(index_of[p.key()]);
    return out;
}

Image expand(const IndexedImage& image) {
    Image out(image.width, image.height);
    for (size_t i = 0; i < image.indices.size(); ++i) out.pixels[i] = image.palette[image.indices[i]];
    return out;
}

}  // namespace artwork
