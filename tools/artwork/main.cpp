// Draws every bitmap of both gauge modules and writes them as Windows DIB files with their
// resource scripts, the reviewers' contact sheet, and optionally the composed faces as PNGs.
//
//   artwork_generator --resources DIR [--sheet FILE.png] [--views DIR]
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "artwork.h"
#include "contact_sheet.h"
#include "dib_writer.h"

namespace fs = std::filesystem;
using namespace artwork;

namespace {

void write_file(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void write_module(const fs::path& dir, const std::string& module, const std::string& script,
                  const std::vector<Bitmap>& bitmaps) {
    fs::create_directories(dir);
    std::string rc = "// Bitmaps of " + module +
                     ", drawn by tools/artwork; rewrite with tools/regenerate-artwork.sh.\n"
                     "LANGUAGE 9, 1\n\n";
    for (const Bitmap& b : bitmaps) {
        const std::string name = std::to_string(b.id) + ".bmp";
        write_file(dir / name, b.depth == Depth::Rgb24 ? encode_dib_24(b.image) : encode_dib_8(quantise(b.image)));
        rc += std::to_string(b.id) + " BITMAP \"" + name + "\"\n";
    }
    write_file(dir / script, std::vector<uint8_t>(rc.begin(), rc.end()));
}

// What the host will show: the pictures after the trip through the palette.
std::vector<Bitmap> as_stored(std::vector<Bitmap> bitmaps) {
    for (Bitmap& b : bitmaps)
        if (b.depth == Depth::Palette8) b.image = expand(quantise(b.image));
    return bitmaps;
}

int usage() {
    std::cerr << "usage: artwork_generator --resources DIR [--sheet FILE.png] [--views DIR]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path resources, sheet, views_dir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return usage();
        if (arg == "--resources") resources = argv[++i];
        else if (arg == "--sheet") sheet = argv[++i];
        else if (arg == "--views") views_dir = argv[++i];
        else return usage();
    }
    if (resources.empty()) return usage();
    try {
        const Fonts fonts;
        {
            const std::vector<Bitmap> gps = gps_bitmaps(fonts);
            const std::vector<Bitmap> dme = dme_bitmaps(fonts);
            write_module(resources / "gps", "GPS_Corvane_PX40", "gps_resources.rc", gps);
            write_module(resources / "dme", "VER2_Corvane_VX_RD22", "dme_resources.rc", dme);
            if (!sheet.empty() || !views_dir.empty()) {
                std::vector<ModuleArt> modules;
                modules.push_back({"GPS_Corvane_PX40", as_stored(gps), {}});
                modules.push_back({"VER2_Corvane_VX_RD22", as_stored(dme), {}});
                modules[0].views = gps_views(modules[0].bitmaps, fonts);
                modules[1].views = dme_views(modules[1].bitmaps, fonts);
                if (!sheet.empty()) {
                    if (sheet.has_parent_path()) fs::create_directories(sheet.parent_path());
                    write_contact_sheet(modules, fonts, sheet.string());
                }
                if (!views_dir.empty()) {
                    fs::create_directories(views_dir);
                    for (const ModuleArt& m : modules)
                        for (const FaceView& v : m.views) {
                            std::string name = m.name.substr(0, 3) + " " + v.name;
                            for (char& c : name)
                                if (c == ' ' || c == ',' || c == '/') c = '_';
                            // Twice the size, pixels kept sharp, for looking closely.
                            Image big(v.image.width * 2, v.image.height * 2);
                            for (int y = 0; y < big.height; ++y)
                                for (int x = 0; x < big.width; ++x) big.at(x, y) = v.image.at(x / 2, y / 2);
                            Canvas canvas(big.width, big.height);
                            canvas.draw_image(big, 0, 0, false);
                            canvas.write_png((views_dir / (name + ".png")).string());
                        }
                }
            }
        }
    } catch (const std::exception& error) {
        std::cerr << "artwork_generator: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
