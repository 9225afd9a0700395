// The style sheet made from a skin: colours, mixing, the texture's data URL and the rules.
#include <gtest/gtest.h>

#include <string>

#include "skin_css.h"
#include "skin_files.h"
#include "skin_format.h"

namespace {

TEST(SkinCss, ColourrefBecomesHashRgb)
{
    struct Case {
        std::uint32_t colorref;
        const char* css;
    } cases[] = {
        {0x00000000, "#000000"}, {0x00FFFFFF, "#ffffff"}, {0x000000FF, "#ff0000"},  // red is the low byte
        {0x00FF0000, "#0000ff"}, {0x005A8023, "#23805a"}, {0xFF123456, "#563412"},  // the unused top byte is ignored
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.css);
        EXPECT_EQ(qz::css_colour(c.colorref), c.css);
    }
}

TEST(SkinCss, BlendMixesEachChannelInIntegers)
{
    struct Case {
        std::uint32_t a, b;
        int percent;
        std::uint32_t out;
    } cases[] = {
        {0x000000, 0xFFFFFF, 0, 0x000000},  {0x000000, 0xFFFFFF, 100, 0xFFFFFF},
        {0x000000, 0xFFFFFF, 18, 0x2D2D2D},  // 255 * 18 / 100 = 45.9, dropped to 45
        {0x0000FF, 0x00FF00, 50, 0x007F7F},  // channels never carry into each other
        {0x5A8023, 0xE4EFDC, 45, 0x98B176},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        EXPECT_EQ(qz::blend_colour(c.a, c.b, c.percent), c.out);
    }
}

TEST(SkinCss, DataUrlIsBase64WithPadding)
{
    struct Case {
        std::string bytes;
        const char* url;
    } cases[] = {
        {"", "data:x/y;base64,"},
        {"f", "data:x/y;base64,Zg=="},
        {"fo", "data:x/y;base64,Zm8="},
        {"foo", "data:x/y;base64,Zm9v"},
        {"foobar", "data:x/y;base64,Zm9vYmFy"},
        {std::string("\xff\xfe\0", 3), "data:x/y;base64,//4A"},  // high bytes and a zero byte
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(qz::data_url("x/y", c.bytes), c.url);
    }
}

skinh::Skin skin_five()
{
    static const std::vector<unsigned char> bytes = qz::test::read_skin_file(5);
    skinh::Skin skin{};
    EXPECT_EQ(skinh::parse_skin(bytes.data(), bytes.size(), &skin), skinh::kOk);
    return skin;
}

TEST(SkinCss, SkinFiveSheetCarriesItsPaletteAndTexture)
{
    const skinh::Skin skin = skin_five();
    const std::string css = qz::skin_css(skin, "data:image/png;base64,QUJD");
    using namespace skinh;
    const std::string caption = "linear-gradient(to bottom, " + qz::css_colour(skin.colour[kCaptionTop]) + ", " +
                                qz::css_colour(skin.colour[kCaptionBottom]) + ")";
    EXPECT_NE(css.find(caption), std::string::npos) << "the caption's gradient";
    for (Role role : {kFace, kFaceText, kCaptionText, kFrame, kButtonFace, kButtonText, kButtonBorder, kEditBack,
                      kEditText, kListBack, kListText, kHeaderBack, kHeaderText, kGroupLine}) {
        SCOPED_TRACE(role);
        EXPECT_NE(css.find(qz::css_colour(skin.colour[role])), std::string::npos);
    }
    EXPECT_NE(css.find("url(\"data:image/png;base64,QUJD\")"), std::string::npos);
    // Every placeholder got its value, and the braces pair up.
    for (std::size_t open = css.find('{'); open != std::string::npos; open = css.find('{', open + 1)) {
        const std::size_t end = css.find_first_not_of("abcdefghijklmnopqrstuvwxyz_", open + 1);
        EXPECT_FALSE(end != std::string::npos && end > open + 1 && css[end] == '}') << css.substr(open, 24);
    }
    int depth = 0;
    for (char ch : css) {
        depth += ch == '{' ? 1 : ch == '}' ? -1 : 0;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
    // Scoped to the program's own windows: no rule reaches every window.
    EXPECT_EQ(css.find("\nwindow {"), std::string::npos);
    EXPECT_NE(css.find(std::string("window.") + qz::kSkinnedWindowClass), std::string::npos);
}

TEST(SkinCss, NoTextureMeansNoImageOnTheFace)
{
    skinh::Skin skin = skin_five();
    skin.texture = nullptr;
    skin.texture_width = skin.texture_height = 0;
    const std::string css = qz::skin_css(skin, "");
    EXPECT_EQ(css.find("url("), std::string::npos);
}

}  // namespace
