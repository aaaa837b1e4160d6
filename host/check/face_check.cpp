#include "face_check.h"

#include <map>
#include <set>

#include "gauge_records.h"
#include "text_escape.h"

namespace panel::check {
namespace {

std::string size_of(const DibImage& image) {
    return std::to_string(image.width) + " x " + std::to_string(image.height);
}

class FaceChecker {
public:
    FaceChecker(const RecordWalk& walk, BitmapSource& bitmaps, Findings& findings)
        : walk_(walk), bitmaps_(bitmaps), findings_(findings) {}

    size_t run() {
        const DibImage* background = find_background();
        for (const WalkedElement& element : walk_.elements) {
            const std::string where = "element " + std::to_string(element.number);
            if (has_bitmap(element) && element.number != 1) {
                const DibImage* first = find(element.resource_id);
                if (first == nullptr) {
                    if (!unreadable(element.resource_id)) {
                        error(where, "bitmap " + hex_text(element.resource_id) + " (its first frame) is missing");
                    }
                } else if (element.kind == ELEMENT_ICON) {
                    check_frames(where, element, *first);
                }
            }
            if (background != nullptr && !inside(element.x, element.y, 1, 1, *background)) {
                error(where, "stands at (" + std::to_string(element.x) + ", " + std::to_string(element.y) +
                                 "), outside the " + size_of(*background) + " background");
            }
        }
        if (background != nullptr) {
            for (const WalkedArea& area : walk_.areas) {
                if (inside(area.x, area.y, area.width, area.height, *background)) continue;
                error("area " + std::to_string(area.number),
                      "rectangle " + std::to_string(area.width) + " x " + std::to_string(area.height) + " at (" +
                          std::to_string(area.x) + ", " + std::to_string(area.y) + ") reaches outside the " +
                          size_of(*background) + " background");
            }
        }
        size_t found = 0;
        for (const auto& [id, image] : looked_up_) found += image != nullptr;
        return found;
    }

private:
    void error(const std::string& where, const std::string& what) {
        findings_.push_back({Finding::error, where, what});
    }
    void note(const std::string& where, const std::string& what) { findings_.push_back({Finding::note, where, what}); }

    static bool has_bitmap(const WalkedElement& element) {
        return (element.kind == ELEMENT_STATIC_IMAGE || element.kind == ELEMENT_ICON ||
                element.kind == ELEMENT_SLIDER) &&
               element.resource_id != NO_BITMAP;
    }

    static bool inside(int64_t x, int64_t y, int64_t width, int64_t height, const DibImage& background) {
        return x >= 0 && y >= 0 && x + width <= background.width && y + height <= background.height;
    }

    // The root's bitmap gives the gauge its size.
    const DibImage* find_background() {
        if (walk_.elements.empty() || walk_.elements.front().number != 1) return nullptr;
        const WalkedElement& root = walk_.elements.front();
        if (root.kind != ELEMENT_STATIC_IMAGE) {
            error("element 1", "is the root but not a static image, so the gauge has no background");
            return nullptr;
        }
        if (root.resource_id == NO_BITMAP) return nullptr;  // the walk has said so
        const DibImage* background = find(root.resource_id);
        if (background == nullptr && !unreadable(root.resource_id)) {
            error("element 1", "background bitmap " + hex_text(root.resource_id) + " is missing");
        }
        return background;
    }

    // Frames past the first that the gauge never asks for are the host's concern only if
    // asked for, so their faults are notes.
    void check_frames(const std::string& where, const WalkedElement& icon, const DibImage& first) {
        for (uint32_t frame = 1; frame < icon.frame_count; ++frame) {
            const uint32_t id = icon.resource_id + frame;
            if (id < icon.resource_id) return;  // past the last id there is
            const DibImage* image = find(id);
            if (image == nullptr) {
                if (!unreadable(id)) {
                    note(where, "frame " + std::to_string(frame) + ", bitmap " + hex_text(id) +
                                    ", is missing (frame count " + std::to_string(icon.frame_count) + ")");
                }
            } else if (image->width != first.width || image->height != first.height) {
                note(where, "frame " + std::to_string(frame) + ", bitmap " + hex_text(id) + ", is " + size_of(*image) +
                                ", not the " + size_of(first) + " of its first frame");
            }
        }
    }

    // Each id is looked up once; a bitmap that exists but cannot be read is reported once,
    // on the bitmap.
    const DibImage* find(uint32_t id) {
        if (auto known = looked_up_.find(id); known != looked_up_.end()) return known->second;
        const DibImage* image = nullptr;
        try {
            image = bitmaps_.find(id);
        } catch (const BitmapError& bad) {
            error("bitmap " + hex_text(id), bad.what());
            unreadable_.insert(id);
        }
        looked_up_.emplace(id, image);
        return image;
    }

    bool unreadable(uint32_t id) const { return unreadable_.contains(id); }

    const RecordWalk& walk_;
    BitmapSource& bitmaps_;
    Findings& findings_;
    std::map<uint32_t, const DibImage*> looked_up_;
    std::set<uint32_t> unreadable_;
};

}  // namespace

size_t check_face(const RecordWalk& walk, BitmapSource& bitmaps, Findings& findings) {
    return FaceChecker(walk, bitmaps, findings).run();
}

}  // namespace panel::check
