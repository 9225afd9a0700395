// The context menu over Win32: a fresh popup per press, shown with TrackPopupMenu.
#include "win32_context_menu.h"

#include <string>

namespace qz {
namespace {

std::wstring utf16_of(const char* utf8)
{
    const int count = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (count <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), count);
    wide.resize(static_cast<std::size_t>(count - 1));
    return wide;
}

}  // namespace

PopupMenu PopupMenu::build(std::span<const PopupItem> items)
{
    PopupMenu menu;
    menu.reset(CreatePopupMenu());
    if (!menu)
        return menu;
    for (const PopupItem& item : items) {
        // The wide twin shows the fixed texts right on any code page.
        const std::wstring text = utf16_of(item.text);
        if (!AppendMenuW(menu.get(), MF_STRING | MF_ENABLED | MF_UNCHECKED, item.id, text.c_str()))
            return PopupMenu();
    }
    return menu;
}

void Win32ContextMenu::cursor(int& x, int& y)
{
    POINT point{};
    GetCursorPos(&point);
    x = point.x;
    y = point.y;
}

void Win32ContextMenu::popup_at(int x, int y)
{
    const PopupMenu menu = PopupMenu::build(items_);
    if (!menu)
        return;
    // Returns when the menu closes, chosen or dismissed; `menu` goes then.
    TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, x, y, 0, owner_, nullptr);
}

}  // namespace qz
