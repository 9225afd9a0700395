// The caption layout that both the painter and the hit test read: where the
// icon and boxes go, and that every point answers the part drawn under it.
#include <gtest/gtest.h>

#include <ostream>

#include "caption_layout.h"

namespace skinh {

bool operator==(const Box& a, const Box& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::ostream& operator<<(std::ostream& out, const Box& b)
{
    return out << '{' << b.left << ", " << b.top << ", " << b.right << ", " << b.bottom << '}';
}

}  // namespace skinh

namespace {

using skinh::Box;
using skinh::CaptionShape;

// A 450-pixel window with Wine's default frame (3) and caption (18): boxes of 14.
constexpr int kW = 450, kH = 300, kB = 3, kC = 18;

CaptionShape shape(bool menu, bool min, bool max, bool icon, int width = kW, int caption = kC)
{
    CaptionShape s;
    s.width = width;
    s.height = kH;
    s.border = kB;
    s.caption = caption;
    s.system_menu = menu;
    s.minimize_box = min;
    s.maximize_box = max;
    s.icon = icon;
    return s;
}

struct LayoutCase {
    const char* name = nullptr;
    CaptionShape shape;
    Box icon, icon_slot, minimize, maximize, close, text;
};

// The close box ends 2 pixels in from the band's right end (447 - 2 = 445).
const LayoutCase kLayouts[] = {
    {"minimise and close, with icon (the program's frame)",
     shape(true, true, false, true),
     {7, 5, 21, 19},
     {3, 3, 23, 21},
     {415, 5, 429, 19},
     {},
     {431, 5, 445, 19},
     {25, 3, 411, 21}},
    {"close only",
     shape(true, false, false, true),
     {7, 5, 21, 19},
     {3, 3, 23, 21},
     {},
     {},
     {431, 5, 445, 19},
     {25, 3, 427, 21}},
    {"all three boxes",
     shape(true, true, true, true),
     {7, 5, 21, 19},
     {3, 3, 23, 21},
     {399, 5, 413, 19},
     {415, 5, 429, 19},
     {431, 5, 445, 19},
     {25, 3, 395, 21}},
    {"no system menu: no icon, no boxes", shape(false, true, true, true), {}, {}, {}, {}, {}, {7, 3, 443, 21}},
    {"no icon", shape(true, true, false, false), {}, {}, {415, 5, 429, 19}, {}, {431, 5, 445, 19}, {7, 3, 411, 21}},
    {"a tall caption keeps the icon at 16",
     shape(true, true, false, true, kW, 26),
     {7, 8, 23, 24},
     {3, 3, 25, 29},
     {399, 5, 421, 27},
     {},
     {423, 5, 445, 27},
     {27, 3, 395, 29}},
    {"room for close only: minimise left out",
     shape(true, true, false, true, 6 + 20 + 16 + 14),
     {7, 5, 21, 19},
     {3, 3, 23, 21},
     {},
     {},
     {37, 5, 51, 19},
     {25, 3, 33, 21}},
    {"no room for the maximise box: no minimise box either",
     shape(true, true, true, true, 55),
     {7, 5, 21, 19},
     {3, 3, 23, 21},
     {},
     {},
     {36, 5, 50, 19},
     {25, 3, 32, 21}},
    {"a caption of 4 pixels: nothing fits", shape(true, true, false, true, kW, 4), {}, {}, {}, {}, {}, {7, 3, 443, 7}},
};

TEST(CaptionLayout, PlacesIconAndBoxes)
{
    for (const LayoutCase& c : kLayouts) {
        SCOPED_TRACE(c.name);
        const skinh::CaptionLayout l = skinh::caption_layout(c.shape);
        EXPECT_EQ(l.band, (Box{kB, kB, c.shape.width - kB, kB + c.shape.caption}));
        EXPECT_EQ(l.icon, c.icon);
        EXPECT_EQ(l.icon_slot, c.icon_slot);
        EXPECT_EQ(l.minimize, c.minimize);
        EXPECT_EQ(l.maximize, c.maximize);
        EXPECT_EQ(l.close, c.close);
        EXPECT_EQ(l.text, c.text);
    }
}

TEST(CaptionLayout, NoBandWhenTheWindowIsTooSmall)
{
    const CaptionShape cases[] = {
        shape(true, true, false, true, 6),      // no width inside the frame
        shape(true, true, false, true, kW, 0),  // no caption
        [] {
            auto s = shape(true, true, false, true);
            s.height = kB + kC - 1;
            return s;
        }(),  // shorter than the caption
        [] {
            auto s = shape(true, true, false, true);
            s.border = -1;
            return s;
        }(),
    };
    for (const CaptionShape& s : cases) {
        const skinh::CaptionLayout l = skinh::caption_layout(s);
        EXPECT_TRUE(l.band.empty());
        EXPECT_TRUE(l.close.empty() && l.minimize.empty() && l.icon.empty());
        EXPECT_EQ(skinh::caption_part_at(l, kB + 1, kB + 1), skinh::kNotCaption);
    }
}

TEST(CaptionLayout, PointsAnswerThePartDrawnThere)
{
    const skinh::CaptionLayout l = skinh::caption_layout(shape(true, true, false, true));
    const struct {
        int x, y;
        skinh::CaptionPart part;
    } points[] = {
        {0, 10, skinh::kNotCaption},     // the frame
        {449, 10, skinh::kNotCaption},   // the frame at the right
        {100, 2, skinh::kNotCaption},    // the frame above the band
        {100, 21, skinh::kNotCaption},   // below the band: the client area
        {3, 3, skinh::kIconPart},        // the band's first pixel
        {22, 20, skinh::kIconPart},      // the slot's last pixel
        {23, 10, skinh::kCaptionBand},   // just right of the slot
        {414, 10, skinh::kCaptionBand},  // just left of the minimise box
        {415, 10, skinh::kMinimizePart}, {428, 5, skinh::kMinimizePart},
        {428, 18, skinh::kMinimizePart}, {420, 4, skinh::kCaptionBand},  // above the minimise box
        {420, 19, skinh::kCaptionBand},                                  // below it
        {429, 10, skinh::kCaptionBand},                                  // the gap between the boxes
        {430, 10, skinh::kCaptionBand},  {431, 10, skinh::kClosePart},
        {444, 18, skinh::kClosePart},    {445, 10, skinh::kCaptionBand},  // right of the close box
        {446, 10, skinh::kCaptionBand},
    };
    for (const auto& p : points) {
        SCOPED_TRACE(testing::Message() << "at " << p.x << ", " << p.y);
        EXPECT_EQ(skinh::caption_part_at(l, p.x, p.y), p.part);
    }
}

// Over many shapes: a point is a box exactly when it lies in that box as
// drawn, boxes stay in the band, apart from each other and off the icon.
TEST(CaptionLayout, EveryPointOfEveryShapeAgreesWithTheDrawnBoxes)
{
    const skinh::CaptionPart boxes[] = {skinh::kMinimizePart, skinh::kMaximizePart, skinh::kClosePart};
    for (int flags = 0; flags < 16; ++flags)
        for (int caption : {0, 3, 4, 5, 12, 18, 19, 30})
            for (int width = 0; width <= 140; width += 3) {
                const CaptionShape s =
                    shape(flags & 1, (flags & 2) != 0, (flags & 4) != 0, (flags & 8) != 0, width, caption);
                const skinh::CaptionLayout l = skinh::caption_layout(s);
                SCOPED_TRACE(testing::Message() << "flags " << flags << " caption " << caption << " width " << width);
                for (skinh::CaptionPart part : boxes) {
                    const Box b = skinh::part_box(l, part);
                    if (b.empty())
                        continue;
                    EXPECT_TRUE(b.left >= l.band.left && b.right <= l.band.right && b.top >= l.band.top &&
                                b.bottom <= l.band.bottom);
                    EXPECT_GE(b.left, l.icon_slot.empty() ? l.band.left : l.icon_slot.right);
                    for (skinh::CaptionPart other : boxes) {
                        const Box o = skinh::part_box(l, other);
                        if (other != part && !o.empty()) {
                            EXPECT_TRUE(o.right <= b.left || b.right <= o.left);
                        }
                    }
                }
                if (l.close.empty()) {
                    EXPECT_TRUE(l.minimize.empty() && l.maximize.empty());  // no box without the close box
                }
                for (int y = -1; y <= kB + caption + 1; ++y)
                    for (int x = -1; x <= width; ++x) {
                        const skinh::CaptionPart at = skinh::caption_part_at(l, x, y);
                        for (skinh::CaptionPart part : boxes)
                            if ((at == part) != skinh::part_box(l, part).contains(x, y)) {
                                ADD_FAILURE() << "at " << x << ", " << y << " part " << at;
                                return;
                            }
                        if ((at == skinh::kNotCaption) != !l.band.contains(x, y)) {
                            ADD_FAILURE() << "at " << x << ", " << y << " outside the band answers " << at;
                            return;
                        }
                    }
            }
}

}  // namespace
