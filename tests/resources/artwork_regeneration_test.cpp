// The committed artwork is exactly what the generator draws: regenerating into a scratch folder
// gives the same files, byte for byte.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<char> bytes_of(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::set<std::string> names_in(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
    return names;
}

}  // namespace

TEST(ArtworkRegeneration, GeneratorReproducesTheCommittedFilesExactly) {
    const fs::path root(SOURCE_ROOT);
    const fs::path scratch = fs::temp_directory_path() / ("artwork_check_" + std::to_string(getpid()));
    fs::remove_all(scratch);
    const std::string command = std::string("\"") + ARTWORK_GENERATOR + "\" --resources \"" +
                                (scratch / "resources").string() + "\" --sheet \"" +
                                (scratch / "artwork.png").string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    for (const char* module : {"gps", "dme"}) {
        const fs::path fresh = scratch / "resources" / module, kept = root / "resources" / module;
        ASSERT_EQ(names_in(fresh), names_in(kept)) << module;
        for (const std::string& name : names_in(fresh))
            EXPECT_TRUE(bytes_of(fresh / name) == bytes_of(kept / name))
                << "resources/" << module << "/" << name
                << " differs from the generator's; run tools/regenerate-artwork.sh";
    }
    EXPECT_TRUE(bytes_of(scratch / "artwork.png") == bytes_of(root / "docs" / "artwork.png"))
        << "docs/artwork.png differs from the generator's; run tools/regenerate-artwork.sh";
    fs::remove_all(scratch);
}

TEST(ArtworkRegeneration, GeneratorRefusesABadCommandLine) {
    EXPECT_NE(std::system((std::string("\"") + ARTWORK_GENERATOR + "\" --bogus x 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((std::string("\"") + ARTWORK_GENERATOR + "\" 2>/dev/null").c_str()), 0);
}
