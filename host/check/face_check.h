// The checks that need a gauge's bitmaps: the background and every element's first frame
// present, an icon's further frames against its frame count, and every element and mouse area
// inside the background, whose size is the gauge's.
#pragma once

#include "bitmap_source.h"
#include "finding.h"
#include "record_walker.h"

namespace panel::check {

// Adds what it finds to `findings`; returns how many distinct bitmaps were found.
size_t check_face(const RecordWalk& walk, BitmapSource& bitmaps, Findings& findings);

}  // namespace panel::check
