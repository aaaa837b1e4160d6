// Whole files up to the limit, and one line for anything past it, a folder or a missing file.
#include "bounded_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using panel::FileReadError;
using panel::read_bounded_file;

std::string error_of(const fs::path& file, size_t largest) {
    try {
        read_bounded_file(file, largest, "a test file");
    } catch (const FileReadError& error) {
        return error.what();
    }
    return "(read)";
}

TEST(BoundedFile, ReadsUpToTheLimitAndRefusesOneBytePast) {
    const fs::path file = fs::temp_directory_path() / ("bounded_file_" + std::to_string(getpid()));
    const std::string bytes = std::string("a\0b\r\n", 5) + std::string(70000, 'x');  // more than one chunk
    std::ofstream(file, std::ios::binary) << bytes;
    EXPECT_EQ(read_bounded_file(file, bytes.size(), "a test file"), bytes);
    EXPECT_EQ(error_of(file, bytes.size() - 1), file.string() + ": more than 70004 bytes, too large for a test file");
    fs::remove(file);
    EXPECT_EQ(error_of(file, 100), file.string() + ": cannot read (No such file or directory)");
}

TEST(BoundedFile, NamesAFolderAndStopsAnEndlessDevice) {
    EXPECT_EQ(error_of(fs::temp_directory_path(), 100),
              fs::temp_directory_path().string() + ": cannot read (a folder)");
    EXPECT_EQ(error_of("/dev/zero", 2u << 20), "/dev/zero: more than 2 MiB, too large for a test file");
}

}  // namespace
