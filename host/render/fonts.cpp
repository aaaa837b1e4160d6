#include "fonts.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <vector>

#include "render_error.h"
#include "windows1252.h"

namespace panel::render {
namespace {

struct FaceChoice {
    const char* name;  // as a gauge record names it
    const char* family;
    const char* package;
    double cap;    // pixels from the baseline to the top of a capital
    int baseline;  // pixels below the element's y
    double tracking;
    uint32_t heavier;  // added to the record's weight
};

// The GPS readouts stand as the artwork's window lettering does (paint.h READOUT_CAP and
// READOUT_BASELINE); the DME figures fill their 36-pixel boxes in the heavy segments its
// previews draw them in (DSEG7 Classic Bold for the records' normal weight).
constexpr std::array<FaceChoice, 3> named_faces = {{
    {"Glass", "DSEG14 Classic", "fonts-dseg", 11.0, 16, 1.0, 0},
    {"Quartz", "DSEG7 Classic", "fonts-dseg", 20.0, 26, 1.0, 300},
    {"Courier New", "Liberation Mono", "fonts-liberation", 11.0, 16, 0.0, 0},
}};
constexpr FaceChoice other_face = {"", "DejaVu Sans Mono", "fonts-dejavu-core", 11.0, 16, 0.0, 0};
// Draws whatever a face lacks.
constexpr const char* fallback_family = "DejaVu Sans Mono";

bool same_name(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

const FaceChoice& choice_for(std::string_view name) {
    for (const FaceChoice& choice : named_faces)
        if (same_name(choice.name, name)) return choice;
    return other_face;
}

bool installed(PangoFontMap* map, std::string_view family) {
    PangoFontFamily** families = nullptr;
    int count = 0;
    pango_font_map_list_families(map, &families, &count);
    bool found = false;
    for (int i = 0; i < count && !found; ++i) found = same_name(pango_font_family_get_name(families[i]), family);
    g_free(families);
    return found;
}

PangoWeight pango_weight(uint32_t weight, const FaceChoice& choice) {
    // 0 is the records' "don't care".
    if (weight == 0) weight = PANGO_WEIGHT_NORMAL;
    return static_cast<PangoWeight>(std::clamp<uint32_t>(std::min<uint32_t>(weight, 1000) + choice.heavier, 100, 1000));
}

}  // namespace

FontBook::FontBook() : font_map_(pango_cairo_font_map_new()), context_(pango_font_map_create_context(font_map_.get())) {
    // Fixed options, as the artwork was drawn with: the machine's settings do not move the text.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context_.get(), options);
    cairo_font_options_destroy(options);
    pango_context_set_base_dir(context_.get(), PANGO_DIRECTION_LTR);

    std::vector<FaceChoice> needed(named_faces.begin(), named_faces.end());
    needed.push_back(other_face);
    for (const FaceChoice& choice : needed)
        if (!installed(font_map_.get(), choice.family))
            throw RenderError(
                std::string("font \"") + choice.family + "\" is not installed (" +
                (*choice.name ? std::string("it draws the gauges' \"") + choice.name + "\" texts; " : std::string()) +
                "install the Debian package " + choice.package + ")");
}

const TextFace& FontBook::face(std::string_view name, uint32_t weight, double scale) {
    const auto key = std::make_tuple(std::string(name), weight, scale);
    if (auto known = faces_.find(key); known != faces_.end()) return *known->second;

    const FaceChoice& choice = choice_for(name);
    auto face = std::make_unique<TextFace>();
    face->family = choice.family;
    face->baseline = static_cast<int>(std::lround(choice.baseline * scale));
    face->tracking = choice.tracking * scale;

    // The cap height of the face alone, measured on a large capital.
    constexpr double probe_size = 100.0;
    FontDescriptionPtr probe(pango_font_description_new());
    pango_font_description_set_family(probe.get(), choice.family);
    pango_font_description_set_weight(probe.get(), pango_weight(weight, choice));
    pango_font_description_set_absolute_size(probe.get(), probe_size * PANGO_SCALE);
    LayoutPtr layout(pango_layout_new(context_.get()));
    pango_layout_set_font_description(layout.get(), probe.get());
    pango_layout_set_text(layout.get(), "H", -1);
    PangoRectangle ink;
    pango_layout_get_extents(layout.get(), &ink, nullptr);
    const double cap = static_cast<double>(pango_layout_get_baseline(layout.get()) - ink.y) / PANGO_SCALE;
    if (cap <= 0.0) throw RenderError(std::string("font \"") + choice.family + "\" has no capital H to measure");

    face->description.reset(pango_font_description_new());
    // Pango draws each character the family lacks from the next family of the list.
    pango_font_description_set_family(face->description.get(),
                                      (std::string(choice.family) + "," + fallback_family).c_str());
    pango_font_description_set_weight(face->description.get(), pango_weight(weight, choice));
    pango_font_description_set_absolute_size(face->description.get(),
                                             probe_size * choice.cap * scale / cap * PANGO_SCALE);
    return *faces_.emplace(key, std::move(face)).first->second;
}

LayoutPtr FontBook::layout(const TextFace& face) const {
    LayoutPtr layout(pango_layout_new(context_.get()));
    pango_layout_set_font_description(layout.get(), face.description.get());
    // A gauge text is one line whatever it holds; a stray line break does not start another.
    pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
    return layout;
}

LayoutPtr FontBook::host_text(std::string_view utf8, double pixels) const {
    LayoutPtr layout(pango_layout_new(context_.get()));
    FontDescriptionPtr description(pango_font_description_from_string(fallback_family));
    pango_font_description_set_absolute_size(description.get(), pixels * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), description.get());
    pango_layout_set_text(layout.get(), utf8.data(), static_cast<int>(utf8.size()));
    return layout;
}

void FontBook::set_text(PangoLayout* layout, const TextFace& face, std::string_view bytes) const {
    const std::string utf8 = windows1252_to_utf8(bytes);
    PangoAttrList* attributes = pango_attr_list_new();
    if (face.tracking != 0.0)
        pango_attr_list_insert(attributes,
                               pango_attr_letter_spacing_new(static_cast<int>(face.tracking * PANGO_SCALE)));
    // The segment faces sketch '>' with two strokes that read as '\'; the cursor and the
    // bearing readouts need a chevron a pilot recognises.
    if (face.family.starts_with("DSEG")) {
        for (size_t at = utf8.find('>'); at != std::string::npos; at = utf8.find('>', at + 1)) {
            PangoAttribute* family = pango_attr_family_new(fallback_family);
            family->start_index = static_cast<guint>(at);
            family->end_index = static_cast<guint>(at + 1);
            pango_attr_list_insert(attributes, family);
        }
    }
    pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
    pango_layout_set_attributes(layout, attributes);
    pango_attr_list_unref(attributes);
}

}  // namespace panel::render
