// The run directory and the library path, as a table of program paths.
#include <gtest/gtest.h>

#include "skin_paths.h"

namespace {

struct PathCase {
    const char* name;
    std::string_view program;
    std::string_view run_dir;
    std::string_view library;
};

using namespace std::string_view_literals;

const PathCase kCases[] = {
    {"ordinary path", "C:\\Tools\\qz\\qzflash.exe", "C:\\Tools\\qz", "C:\\Tools\\qz\\SkinH_EL.dll"},
    {"drive root", "D:\\qzflash.exe", "D:", "D:\\SkinH_EL.dll"},
    {"no backslash", "qzflash.exe", "", "\\SkinH_EL.dll"},
    {"empty path", "", "", "\\SkinH_EL.dll"},
    // 0xD5 0x5C is a two-byte character of code page 936 whose trail byte is "\".
    {"trail byte 0x5C in the file name", "C:\\qz\\\xD5\x5C.exe", "C:\\qz", "C:\\qz\\SkinH_EL.dll"},
    {"trail byte 0x5C in a folder name", "C:\\\xD5\x5C\\a.exe", "C:\\\xD5\x5C", "C:\\\xD5\x5C\\SkinH_EL.dll"},
    {"a lone lead byte at the end", "C:\\qz\\\xD5", "C:\\qz", "C:\\qz\\SkinH_EL.dll"},
    {"UNC path", "\\\\host\\share\\q.exe", "\\\\host\\share", "\\\\host\\share\\SkinH_EL.dll"},
};

TEST(SkinPaths, RunDirectoryAndLibraryPath)
{
    for (const PathCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const qz::Text dir = qz::run_directory(c.program);
        EXPECT_EQ(dir.view(), c.run_dir);
        EXPECT_EQ(qz::library_path(dir.view()).view(), c.library);
    }
}

TEST(SkinPaths, PartFileSitsInTheRunDirectory)
{
    EXPECT_EQ(qz::library_part_path("C:\\qz").view(), "C:\\qz\\SkinH_EL.dll.part"sv);
}

}  // namespace
