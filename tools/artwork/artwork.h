// Every bitmap of both gauge modules, drawn from code, and the faces put together from them.
#pragma once

#include <vector>

#include "canvas.h"

namespace artwork {

std::vector<Bitmap> gps_bitmaps(const Fonts& fonts);
std::vector<Bitmap> dme_bitmaps(const Fonts& fonts);

// A face as the host shows it: the background, then each overlay frame at its element's
// position, pure black left out. Named states for reviewing the pictures together.
struct FaceView {
    std::string name;
    Image image;
};
std::vector<FaceView> gps_views(const std::vector<Bitmap>& bitmaps, const Fonts& fonts);
std::vector<FaceView> dme_views(const std::vector<Bitmap>& bitmaps, const Fonts& fonts);

const Bitmap& find_bitmap(const std::vector<Bitmap>& bitmaps, int id);

}  // namespace artwork
