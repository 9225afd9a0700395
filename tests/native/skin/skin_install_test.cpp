// Installing the library: what is written, moved and hidden, over a fake file system.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "skin_install.h"

namespace {

// Files by name; records every call so a test can see what was touched.
class FakeFiles final : public qz::InstallFiles {
public:
    std::map<std::string, std::string> files;
    std::vector<std::string> calls;
    bool fail_write = false;  // writes some bytes, then fails
    bool fail_move = false;

    bool exists(const char* path) override
    {
        calls.push_back(std::string("exists ") + path);
        return files.count(path) > 0;
    }
    bool write_whole(const char* path, std::string_view bytes) override
    {
        calls.push_back(std::string("write ") + path);
        files[path] = std::string(bytes.substr(0, fail_write ? bytes.size() / 2 : bytes.size()));
        return !fail_write;
    }
    bool move_new(const char* from, const char* to) override
    {
        calls.push_back(std::string("move ") + from + " " + to);
        if (fail_move || files.count(to))
            return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    void remove(const char* path) override
    {
        calls.push_back(std::string("remove ") + path);
        files.erase(path);
    }
    void set_hidden_only(const char* path) override { calls.push_back(std::string("hide ") + path); }
};

struct InstallCase {
    const char* name;
    bool present, fail_write, fail_move;
    std::vector<std::string> calls;
    bool library_written;  // the library's name holds the whole image afterwards
};

const std::string kLib = "C:\\qz\\SkinH_EL.dll";
const std::string kPart = "C:\\qz\\SkinH_EL.dll.part";

// clang-format off: one case a line reads as a table
const InstallCase kCases[] = {
    {"nothing there: written whole, moved, hidden",
     false,
     false,
     false,
     {"exists " + kLib, "write " + kPart, "move " + kPart + " " + kLib, "hide " + kLib},
     true},
    {"something there: left alone", true, false, false, {"exists " + kLib}, false},
    {"write fails part-way: nothing of the name is left",
     false,
     true,
     false,
     {"exists " + kLib, "write " + kPart, "remove " + kPart},
     false},
    {"move fails: the part file goes",
     false,
     false,
     true,
     {"exists " + kLib, "write " + kPart, "move " + kPart + " " + kLib, "remove " + kPart},
     false},
};
// clang-format on

TEST(SkinInstall, Table)
{
    const std::string image(88576, 'M');
    for (const InstallCase& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeFiles fs;
        fs.fail_write = c.fail_write;
        fs.fail_move = c.fail_move;
        if (c.present)
            fs.files[kLib] = "the user's own";
        qz::install_skin_library("C:\\qz", image, fs);
        EXPECT_EQ(fs.calls, c.calls);
        EXPECT_EQ(fs.files.count(kPart), 0u);
        if (c.library_written) {
            EXPECT_EQ(fs.files[kLib], image);
        } else if (c.present) {
            EXPECT_EQ(fs.files[kLib], "the user's own");
        } else {
            EXPECT_EQ(fs.files.count(kLib), 0u);
        }
    }
}

}  // namespace
