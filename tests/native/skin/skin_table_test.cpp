// The skin selection over the generated skins: numbers, lengths, first bytes.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "skin_files.h"
#include "skin_table.h"

namespace {

std::map<int, std::vector<unsigned char>>& held()
{
    static std::map<int, std::vector<unsigned char>> files;
    return files;
}

qz::HeldBytes lookup(int number)
{
    auto& files = held();
    if (!files.count(number))
        files[number] = qz::test::read_skin_file(number);
    return {files[number].data(), files[number].size()};
}

TEST(SkinTable, NumbersOutsideTheTableSelectNothing)
{
    for (int n : {0, -1, 34, -2147483647 - 1, 2147483647}) {
        SCOPED_TRACE(n);
        const qz::ByteSet skin = qz::select_skin(n, lookup);
        EXPECT_EQ(skin.data(), nullptr);
        EXPECT_EQ(skin.size(), 0u);
    }
}

// The lengths every skin file must have, 726,965 bytes in all.
const std::size_t kLengths[33] = {15574, 9533,  19786, 19497, 17699, 41098, 12564, 18930, 13192, 24409, 30738,
                                  8321,  26370, 15733, 12105, 23603, 20863, 16746, 11676, 17997, 12882, 37461,
                                  30958, 25715, 34523, 28961, 29447, 15562, 20738, 18765, 31134, 44110, 20275};

TEST(SkinTable, EverySkinIsAFreshCopyOfItsLength)
{
    std::size_t total = 0;
    for (int n = 1; n <= 33; ++n) {
        SCOPED_TRACE(n);
        const qz::ByteSet skin = qz::select_skin(n, lookup);
        ASSERT_EQ(skin.size(), kLengths[n - 1]);
        EXPECT_NE(skin.data(), lookup(n).data);
        EXPECT_EQ(skin.view().substr(0, 6), std::string_view(".SHE\0\3", 6));
        EXPECT_EQ(skin.view(), std::string_view(reinterpret_cast<const char*>(lookup(n).data), lookup(n).size));
        total += skin.size();
    }
    EXPECT_EQ(total, 726965u);
}

TEST(SkinTable, SkinFiveIsTheOneTheProgramAttaches)
{
    const qz::ByteSet skin = qz::select_skin(5, lookup);
    EXPECT_EQ(skin.size(), 17699u);
    EXPECT_EQ(skin.view().substr(0, 6), std::string_view(".SHE\0\3", 6));
}

}  // namespace
