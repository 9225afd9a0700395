// The context menu over Win32: a fresh popup per press, shown with TrackPopupMenu.
#pragma once

#include <windows.h>

#include <span>
#include <utility>

#include "controls.h"

namespace qz {

// One item of the popup: its command id and its text (UTF-8).
struct PopupItem {
    UINT id;
    const char* text;
};

// Owns one popup menu (HMENU) and destroys it; move-only.
class PopupMenu {
public:
    PopupMenu() = default;
    PopupMenu(PopupMenu&& other) noexcept : menu_(std::exchange(other.menu_, nullptr)) {}
    PopupMenu& operator=(PopupMenu&& other) noexcept
    {
        reset(std::exchange(other.menu_, nullptr));
        return *this;
    }
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    ~PopupMenu() { reset(); }

    HMENU get() const { return menu_; }
    explicit operator bool() const { return menu_ != nullptr; }
    void reset(HMENU menu = nullptr)
    {
        if (menu_)
            DestroyMenu(menu_);
        menu_ = menu;
    }

    // A popup with `items` in order, as ordinary enabled, unchecked items;
    // empty when the platform refused any part of it.
    static PopupMenu build(std::span<const PopupItem> items);

private:
    HMENU menu_ = nullptr;
};

// Shows the popup owned by `owner`. With TPM_RIGHTBUTTON alone the chosen
// item is posted to `owner` as WM_COMMAND (item id, lParam 0); the window
// delivers that as the item's selected event after popup_at has returned.
class Win32ContextMenu final : public ContextMenu {
public:
    // `owner` and `items` are borrowed and must outlive this object.
    Win32ContextMenu(HWND owner, std::span<const PopupItem> items) : owner_(owner), items_(items) {}
    void cursor(int& x, int& y) override;
    void popup_at(int x, int y) override;

private:
    HWND owner_;  // not owned
    std::span<const PopupItem> items_;
};

}  // namespace qz
