// The skin format's parser: every generated skin reads back, bad input is refused.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "skin_files.h"
#include "skin_format.h"

namespace {

using Bytes = std::string;

Bytes chunk(const char* tag, const Bytes& body)
{
    Bytes out(tag, 4);
    const auto n = static_cast<std::uint32_t>(body.size());
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((n >> (8 * i)) & 255);
    return out + body;
}

const Bytes kMagic(".SHE\0\3", 6);
const Bytes kName = chunk("NAME", "Test");
Bytes palette_body()
{
    Bytes body;
    for (int i = 0; i < 16; ++i)
        body += Bytes("\x10\x20\x30\0", 4);  // R, G, B and the reserved zero
    return body;
}
const Bytes kPalette = chunk("PALT", palette_body());

Bytes texture(unsigned w, unsigned h, unsigned pixel_bytes)
{
    Bytes body;
    body += char(w & 255);
    body += char(w >> 8);
    body += char(h & 255);
    body += char(h >> 8);
    return chunk("TEXR", body + Bytes(pixel_bytes, '\x40'));
}

Bytes palette_with_reserved_byte()
{
    Bytes body = palette_body();
    body[7] = 1;
    return chunk("PALT", body);
}

struct ParseCase {
    const char* name;
    Bytes bytes;
    skinh::Result result;
};

const ParseCase kCases[] = {
    {"smallest good skin", kMagic + kName + kPalette, skinh::kOk},
    {"chunks in another order, unknown chunk skipped", kMagic + chunk("XTRA", "??") + kPalette + kName, skinh::kOk},
    {"with a texture", kMagic + kName + kPalette + texture(2, 3, 18), skinh::kOk},
    {"magic only", kMagic, skinh::kMissingChunk},
    {"wrong magic", Bytes(".SHE\0\2", 6) + kName + kPalette, skinh::kBadMagic},
    {"shorter than the magic", Bytes(".SH", 3), skinh::kBadMagic},
    {"chunk header cut", kMagic + kName + kPalette + Bytes("PAD", 3), skinh::kTruncated},
    {"chunk body cut", kMagic + kName + kPalette.substr(0, 40), skinh::kTruncated},
    {"length near 4 GiB", kMagic + Bytes("NAME\xff\xff\xff\xff", 8), skinh::kTruncated},
    {"no palette", kMagic + kName, skinh::kMissingChunk},
    {"no name", kMagic + kPalette, skinh::kMissingChunk},
    {"two names", kMagic + kName + kName + kPalette, skinh::kBadChunk},
    {"empty name", kMagic + chunk("NAME", "") + kPalette, skinh::kBadChunk},
    {"name of 65 bytes", kMagic + chunk("NAME", Bytes(65, 'a')) + kPalette, skinh::kBadChunk},
    {"zero byte in the name", kMagic + chunk("NAME", Bytes("a\0b", 3)) + kPalette, skinh::kBadChunk},
    {"palette too short", kMagic + kName + chunk("PALT", Bytes(60, 1)), skinh::kBadChunk},
    {"palette reserved byte set", kMagic + kName + palette_with_reserved_byte(), skinh::kBadChunk},
    {"texture pixels do not match its size", kMagic + kName + kPalette + texture(2, 3, 17), skinh::kBadChunk},
    {"texture of width 0", kMagic + kName + kPalette + texture(0, 3, 0), skinh::kBadChunk},
    {"texture wider than 512", kMagic + kName + kPalette + texture(513, 1, 513 * 3), skinh::kBadChunk},
    {"texture header cut", kMagic + kName + kPalette + chunk("TEXR", "ab"), skinh::kBadChunk},
    {"two textures", kMagic + kName + kPalette + texture(1, 1, 3) + texture(1, 1, 3), skinh::kBadChunk},
};

TEST(SkinFormat, ParseTable)
{
    for (const ParseCase& c : kCases) {
        SCOPED_TRACE(c.name);
        skinh::Skin skin{};
        std::strcpy(skin.name, "untouched");
        const auto* data = reinterpret_cast<const unsigned char*>(c.bytes.data());
        EXPECT_EQ(skinh::parse_skin(data, c.bytes.size(), &skin), c.result);
        if (c.result != skinh::kOk) {
            EXPECT_STREQ(skin.name, "untouched");  // nothing changes on failure
        }
    }
}

TEST(SkinFormat, NullAndEmptyAreRefused)
{
    skinh::Skin skin{};
    const unsigned char byte = '.';
    EXPECT_EQ(skinh::parse_skin(nullptr, 10, &skin), skinh::kNullData);
    EXPECT_EQ(skinh::parse_skin(&byte, 0, &skin), skinh::kEmpty);
}

TEST(SkinFormat, EveryGeneratedSkinReadsBackWithItsTexture)
{
    for (int n = 1; n <= 33; ++n) {
        SCOPED_TRACE(n);
        const auto bytes = qz::test::read_skin_file(n);
        skinh::Skin skin{};
        ASSERT_EQ(skinh::parse_skin(bytes.data(), bytes.size(), &skin), skinh::kOk);
        EXPECT_GT(std::strlen(skin.name), 0u);
        EXPECT_EQ(skin.texture_width, 64u);
        EXPECT_GE(skin.texture_height, 16u);
        // Every prefix of a good skin is refused: no chunk may be cut short.
        for (std::size_t cut : {std::size_t(5), std::size_t(7), bytes.size() / 2, bytes.size() - 1})
            EXPECT_NE(skinh::parse_skin(bytes.data(), cut, &skin), skinh::kOk) << "cut at " << cut;
    }
}

TEST(SkinFormat, SkinFiveIsJadeGreen)
{
    const auto bytes = qz::test::read_skin_file(5);
    skinh::Skin skin{};
    ASSERT_EQ(skinh::parse_skin(bytes.data(), bytes.size(), &skin), skinh::kOk);
    EXPECT_STREQ(skin.name, "Jade");
    EXPECT_EQ(skin.colour[skinh::kFace], 0xE4EFDCu);           // #dcefe4 as 0x00BBGGRR
    EXPECT_EQ(skin.colour[skinh::kCaptionBottom], 0x5A8023u);  // #23805a
}

}  // namespace
