// Which installed font draws each face name, and the fallback for what a face lacks.
#include <gtest/gtest.h>

#include <pango/pangocairo.h>

#include <string>
#include <vector>

#include "fonts.h"

using panel::render::FontBook;
using panel::render::LayoutPtr;

// fontconfig keeps a few hundred bytes of its own until the process ends, however many font
// maps come and go; the sanitizer's leak check is told so.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace {

FontBook& fonts() {
    static FontBook book;
    return book;
}

TEST(FontBookFaces, EachGaugeFaceHasItsFont) {
    EXPECT_EQ(fonts().face("Glass", 400).family, "DSEG14 Classic");
    EXPECT_EQ(fonts().face("Quartz", 400).family, "DSEG7 Classic");
    EXPECT_EQ(fonts().face("Courier New", 100).family, "Liberation Mono");
    EXPECT_EQ(fonts().face("courier new", 400).family, "Liberation Mono");  // face names ignore case
    EXPECT_EQ(fonts().face("Arial", 400).family, "DejaVu Sans Mono");
    EXPECT_EQ(fonts().face("", 0).family, "DejaVu Sans Mono");
}

// The families that draw a gauge's text, run by run.
std::vector<std::string> families_drawing(const char* face, const char* text) {
    const panel::render::TextFace& chosen = fonts().face(face, 400);
    const LayoutPtr layout = fonts().layout(chosen);
    fonts().set_text(layout.get(), chosen, text);
    EXPECT_EQ(pango_layout_get_unknown_glyphs_count(layout.get()), 0) << face << ": " << text;
    std::vector<std::string> families;
    for (GSList* run = pango_layout_get_line_readonly(layout.get(), 0)->runs; run != nullptr; run = run->next) {
        const auto* item = static_cast<PangoGlyphItem*>(run->data)->item;
        PangoFontDescription* described = pango_font_describe(item->analysis.font);
        families.push_back(pango_font_description_get_family(described));
        pango_font_description_free(described);
    }
    return families;
}

TEST(FontBookFaces, WhatAFaceLacksComesFromTheFallbackFace) {
    // The seven-segment face has no '>'; the fourteen-segment one sketches it with two strokes
    // that read as '\', so the host draws it from the fallback face too; it has no '#'.
    EXPECT_EQ(families_drawing("Quartz", ">113.45\xB0"),
              (std::vector<std::string>{"DejaVu Sans Mono", "DSEG7 Classic"}));
    EXPECT_EQ(families_drawing("Glass", ">275\xB0To"),
              (std::vector<std::string>{"DejaVu Sans Mono", "DSEG14 Classic"}));
    EXPECT_EQ(families_drawing("Glass", "12#"), (std::vector<std::string>{"DSEG14 Classic", "DejaVu Sans Mono"}));
    EXPECT_EQ(families_drawing("Courier New", "N47\xB0 >\x80"), (std::vector<std::string>{"Liberation Mono"}));
    // A byte the code page leaves unassigned draws the replacement character, not a box.
    EXPECT_EQ(families_drawing("Glass", "1\x81"), (std::vector<std::string>{"DSEG14 Classic", "DejaVu Sans Mono"}));
}

}  // namespace
