// Move-only owners of the Win32 handles the window and start-up hold.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "owned.h"

namespace qz {

inline void destroy_window(HWND window) { DestroyWindow(window); }
inline void destroy_menu(HMENU menu) { DestroyMenu(menu); }
inline void destroy_icon(HICON icon) { DestroyIcon(icon); }
inline void free_library(HMODULE module) { FreeLibrary(module); }

using OwnedWindow = Owned<HWND, destroy_window>;
using OwnedMenu = Owned<HMENU, destroy_menu>;
using OwnedIcon = Owned<HICON, destroy_icon>;
using OwnedLibrary = Owned<HMODULE, free_library>;

// Holds one reference to a COM interface; move-only.
template <typename I>
class ComRef {
public:
    ComRef() = default;
    ComRef(ComRef&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept
    {
        reset();
        ptr_ = std::exchange(other.ptr_, nullptr);
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { reset(); }

    I* get() const { return ptr_; }
    I* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    // For out-parameters: releases what is held and hands out the slot.
    I** put()
    {
        reset();
        return &ptr_;
    }
    void reset()
    {
        if (ptr_)
            ptr_->Release();
        ptr_ = nullptr;
    }

private:
    I* ptr_ = nullptr;
};

// UTF-8 to UTF-16 for the wide twins of the calls that show fixed texts.
std::wstring widen(const char* utf8);

}  // namespace qz
