// Every held skin's style sheet, as GTK reads it: a texture inside, not one parse error.
#include <gtest/gtest.h>

#include <gtk/gtk.h>

#include <string>

#include "skin_css.h"
#include "skin_gtk.h"

namespace {

TEST(SkinSheet, EverySkinParsesWithoutErrors)
{
    for (int number = 1; number <= 33; ++number) {
        SCOPED_TRACE(number);
        const std::string css = qz::skin_style_sheet(number);
        ASSERT_FALSE(css.empty());
        EXPECT_NE(css.find("url(\"data:image/png;base64,iVBORw0KGgo"), std::string::npos) << "a PNG texture";
        EXPECT_EQ(qz::install_style_sheet(css), 0);
    }
}

TEST(SkinSheet, NumbersOutsideTheTableGiveNoSheet)
{
    for (int number : {0, -1, 34}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(qz::skin_style_sheet(number), "");
    }
}

TEST(SkinSheet, ABrokenSheetIsCounted)
{
    EXPECT_GT(qz::install_style_sheet("window.qz-skinned { color: nonsense-colour; }"), 0);
}

}  // namespace
