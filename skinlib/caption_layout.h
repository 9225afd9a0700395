// Where a dressed frame's caption puts its icon and boxes: the one layout that
// both the painter and the hit test read, so a box is hit where it is drawn.
#pragma once

namespace skinh {

// A rectangle in window coordinates (0, 0 is the window's top-left corner),
// right and bottom exclusive.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// What the layout needs to know of a window.
struct CaptionShape {
    int width = 0, height = 0;  // the whole window
    int border = 0;             // frame width on each side
    int caption = 0;            // caption band height
    bool system_menu = false;   // icon and close box
    bool minimize_box = false;
    bool maximize_box = false;
    bool icon = false;  // the window has an icon to draw
};

// The parts of the caption; every box is drawn exactly where it is listed.
enum CaptionPart { kNotCaption, kCaptionBand, kIconPart, kMinimizePart, kMaximizePart, kClosePart };

struct CaptionLayout {
    Box band;                       // the caption band inside the frame; empty when there is no room
    Box icon;                       // the icon as drawn
    Box icon_slot;                  // the icon with its margins, the whole band high: opens the system menu
    Box minimize, maximize, close;  // empty when not drawn
    Box text;
};

// The boxes sit at the band's right end, close rightmost, each a square
// 4 pixels smaller than the band, 2 pixels apart; the icon sits 4 pixels in
// from the left, at most 16 pixels square. Boxes that do not fit are left out.
CaptionLayout caption_layout(const CaptionShape& shape);

// The part at (x, y) in window coordinates: kNotCaption outside the band.
CaptionPart caption_part_at(const CaptionLayout& layout, int x, int y);

// The drawn box of a part, or an empty box.
Box part_box(const CaptionLayout& layout, CaptionPart part);

}  // namespace skinh
