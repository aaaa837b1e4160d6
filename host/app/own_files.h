// Where panelhost finds the files it ships with: the gauge modules and their bitmaps, the cue
// sounds, the FlightGear protocol file and recording and, when the Windows build was part of
// the build, the bridge program and the .gau files. Found from the running program's own
// place, so the same program works in the build tree that made it, installed under any prefix,
// or unpacked anywhere; nothing of the build machine is compiled in.
#pragma once

#include <filesystem>

namespace panel::app {

struct OwnFiles {
    std::filesystem::path modules;     // the native gauge modules, NAME/ beside each for its bitmaps
    std::filesystem::path sounds;      // the folder cue paths ("sound\click.wav") are relative to
    std::filesystem::path flightgear;  // the protocol file and the recording shipped for FlightGear
    std::filesystem::path windows;     // where the .gau files are; empty without a Windows build
    std::filesystem::path bridge;      // the bridge program that runs them; empty without one

    std::filesystem::path protocol() const { return flightgear / "panelhost.xml"; }
};

// The build tree's file beside the program that names its folders, one "key=folder" a line
// (modules, source, windows); installed programs carry none.
inline constexpr const char* build_tree_file = "panelhost-build-tree.txt";

// The files of the program at `program`: the build tree's, when its file lies beside the
// program, else those installed under the prefix above the program's bin/ folder. Paths that do
// not exist are returned as they are, and whoever reads them names the file it could not read.
OwnFiles own_files_of(const std::filesystem::path& program);

// Those of the running program (/proc/self/exe).
OwnFiles own_files();

}  // namespace panel::app
