// The GDI objects one attached skin draws with, made from its parsed file.
#pragma once

#include <windows.h>

#include "skin_format.h"

namespace skinh {

// Owns one GDI object (brush, bitmap, font); move-only.
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(HGDIOBJ object) : object_(object) {}
    GdiObject(GdiObject&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    GdiObject& operator=(GdiObject&& other) noexcept;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject()
    {
        if (object_)
            DeleteObject(object_);
    }
    HGDIOBJ get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    HGDIOBJ object_ = nullptr;
};

// Everything painting needs, copied out of the skin file so that the
// caller's buffer can go as soon as the attach call returns.
class Theme {
public:
    // Empty when a GDI object could not be made.
    static Theme make(const Skin& skin);

    bool ready() const { return ready_; }
    COLORREF colour(Role role) const { return colour_[role]; }
    HBRUSH face() const { return static_cast<HBRUSH>(face_.get()); }  // textured when the skin has a texture
    HBRUSH edit() const { return static_cast<HBRUSH>(edit_.get()); }
    HFONT caption_font() const { return static_cast<HFONT>(caption_font_.get()); }

private:
    bool ready_ = false;
    COLORREF colour_[kRoleCount] = {};
    GdiObject face_, edit_, caption_font_;
};

}  // namespace skinh
