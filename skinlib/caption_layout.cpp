// Where a dressed frame's caption puts its icon and boxes.
#include "caption_layout.h"

namespace skinh {

CaptionLayout caption_layout(const CaptionShape& shape)
{
    CaptionLayout layout;
    const Box band{shape.border, shape.border, shape.width - shape.border, shape.border + shape.caption};
    if (shape.border < 0 || shape.caption <= 0 || band.empty() || band.bottom > shape.height)
        return layout;
    layout.band = band;

    int text_left = band.left + 4;
    const int icon_side = shape.caption - 4 < 16 ? shape.caption - 4 : 16;
    if (shape.system_menu && shape.icon && icon_side > 0 && text_left + icon_side <= band.right) {
        const int top = band.top + (shape.caption - icon_side) / 2;
        layout.icon = {text_left, top, text_left + icon_side, top + icon_side};
        layout.icon_slot = {band.left, band.top, layout.icon.right + 2, band.bottom};
        text_left = layout.icon.right + 4;
    }

    // Right to left: close, then maximise, then minimise, as far as they fit
    // beside the icon; a box never covers the icon's slot.
    const int side = shape.caption - 4;
    const int floor = layout.icon_slot.empty() ? band.left : layout.icon_slot.right;
    int right = band.right - 2;
    auto place = [&](Box* box) {
        if (side <= 0 || right - side < floor)
            return;
        *box = {right - side, band.top + 2, right, band.top + 2 + side};
        right -= side + 2;
    };
    if (shape.system_menu) {
        place(&layout.close);
        if (shape.maximize_box && !layout.close.empty())
            place(&layout.maximize);
        if (shape.minimize_box && !layout.close.empty() && (!shape.maximize_box || !layout.maximize.empty()))
            place(&layout.minimize);
    }
    layout.text = {text_left, band.top, right - 2 > text_left ? right - 2 : text_left, band.bottom};
    return layout;
}

CaptionPart caption_part_at(const CaptionLayout& layout, int x, int y)
{
    if (!layout.band.contains(x, y))
        return kNotCaption;
    if (layout.close.contains(x, y))
        return kClosePart;
    if (layout.maximize.contains(x, y))
        return kMaximizePart;
    if (layout.minimize.contains(x, y))
        return kMinimizePart;
    if (layout.icon_slot.contains(x, y))
        return kIconPart;
    return kCaptionBand;
}

Box part_box(const CaptionLayout& layout, CaptionPart part)
{
    switch (part) {
    case kClosePart: return layout.close;
    case kMaximizePart: return layout.maximize;
    case kMinimizePart: return layout.minimize;
    case kIconPart: return layout.icon_slot;
    case kCaptionBand: return layout.band;
    default: return {};
    }
}

}  // namespace skinh
