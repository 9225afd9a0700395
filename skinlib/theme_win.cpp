// The GDI objects one attached skin draws with, made from its parsed file.
#include "theme_win.h"

#include <cstring>

namespace skinh {

GdiObject& GdiObject::operator=(GdiObject&& other) noexcept
{
    if (this != &other) {
        if (object_)
            DeleteObject(object_);
        object_ = other.object_;
        other.object_ = nullptr;
    }
    return *this;
}

namespace {

// A pattern brush over a copy of the texture's pixels (the brush keeps the copy).
HBRUSH texture_brush(const Skin& skin)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = LONG(skin.texture_width);
    info.bmiHeader.biHeight = -LONG(skin.texture_height);  // rows top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        return nullptr;
    const std::size_t row = std::size_t(skin.texture_width) * 3;
    const std::size_t stride = (row + 3) & ~std::size_t(3);  // DIB rows are DWORD-aligned
    for (std::size_t y = 0; y < skin.texture_height; ++y)
        std::memcpy(static_cast<unsigned char*>(bits) + y * stride, skin.texture + y * row, row);
    GdiFlush();
    return CreatePatternBrush(static_cast<HBITMAP>(bitmap.get()));
}

}  // namespace

Theme Theme::make(const Skin& skin)
{
    Theme theme;
    std::memcpy(theme.colour_, skin.colour, sizeof(theme.colour_));
    theme.face_ = GdiObject(skin.texture_width ? texture_brush(skin) : nullptr);
    if (!theme.face_)
        theme.face_ = GdiObject(CreateSolidBrush(skin.colour[kFace]));
    theme.edit_ = GdiObject(CreateSolidBrush(skin.colour[kEditBack]));
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        metrics.lfCaptionFont.lfWeight = FW_BOLD;
        theme.caption_font_ = GdiObject(CreateFontIndirectW(&metrics.lfCaptionFont));
    } else {
        theme.caption_font_ =
            GdiObject(CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    }
    theme.ready_ = theme.face_ && theme.edit_ && theme.caption_font_;
    return theme;
}

}  // namespace skinh
