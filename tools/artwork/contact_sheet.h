// The reviewers' sheet: every bitmap with its id, size and depth, and the faces composed.
#pragma once

#include <string>
#include <vector>

#include "artwork.h"

namespace artwork {

struct ModuleArt {
    std::string name;
    std::vector<Bitmap> bitmaps;
    std::vector<FaceView> views;
};

void write_contact_sheet(const std::vector<ModuleArt>& modules, const Fonts& fonts, const std::string& path);

}  // namespace artwork
