// The generated icon file: 11 BMP images of the right sizes and depths, 93,174 bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> read_icon()
{
    std::ifstream file(QZ_ICON_PATH, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

unsigned u16(const std::vector<unsigned char>& b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t u32(const std::vector<unsigned char>& b, std::size_t at)
{
    return u16(b, at) | std::uint32_t(u16(b, at + 2)) << 16;
}

TEST(IconFile, ElevenBmpImagesIn93174Bytes)
{
    const std::vector<unsigned char> icon = read_icon();
    ASSERT_EQ(icon.size(), 93174u);
    EXPECT_EQ(u16(icon, 0), 0u);
    EXPECT_EQ(u16(icon, 2), 1u);  // an icon
    ASSERT_EQ(u16(icon, 4), 11u);
    const struct {
        unsigned size, bits;
    } images[] = {{32, 1}, {16, 4},  {32, 4},  {48, 4},  {16, 8},  {32, 8},
                  {48, 8}, {16, 32}, {32, 32}, {48, 32}, {128, 32}};
    std::uint32_t expected_offset = 6 + 16 * 11;
    for (unsigned i = 0; i < 11; ++i) {
        SCOPED_TRACE(std::to_string(images[i].size) + "x" + std::to_string(images[i].bits));
        const std::size_t entry = 6 + 16 * i;
        const unsigned size = images[i].size, bits = images[i].bits;
        EXPECT_EQ(icon[entry], size % 256);
        EXPECT_EQ(icon[entry + 1], size % 256);
        EXPECT_EQ(u16(icon, entry + 6), bits);
        const std::uint32_t length = u32(icon, entry + 8), offset = u32(icon, entry + 12);
        EXPECT_EQ(offset, expected_offset);
        const unsigned palette = bits <= 8 ? 4u << bits : 0;
        const unsigned row = (size * bits + 31) / 32 * 4, mask_row = (size + 31) / 32 * 4;
        EXPECT_EQ(length, 40 + palette + row * size + mask_row * size);
        ASSERT_LE(offset + length, icon.size());
        EXPECT_EQ(u32(icon, offset), 40u);  // BITMAPINFOHEADER
        EXPECT_EQ(u32(icon, offset + 4), size);
        EXPECT_EQ(u32(icon, offset + 8), 2 * size);  // colour bits and mask
        EXPECT_EQ(u16(icon, offset + 14), bits);
        EXPECT_EQ(u32(icon, offset + 16), 0u);  // BI_RGB
        expected_offset = offset + length;
    }
    EXPECT_EQ(expected_offset, icon.size());
}

}  // namespace
