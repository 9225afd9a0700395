// The label draws its text on one line, left, vertically centred, no prefixes, black, transparent.
#include "label_win.h"

namespace qz {
namespace {

// The font handed over by WM_SETFONT is kept in the window's extra bytes.
constexpr int kFontSlot = 0;

void paint(HWND window)
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    RECT rect{};
    GetClientRect(window, &rect);
    wchar_t text[256];
    int length = GetWindowTextW(window, text, 256);
    auto font = reinterpret_cast<HFONT>(GetWindowLongPtrW(window, kFontSlot));
    HGDIOBJ old_font = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextW(dc, text, length, &rect, DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_NOPREFIX);
    if (old_font)
        SelectObject(dc, old_font);
    EndPaint(window, &paint);
}

LRESULT CALLBACK label_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_PAINT: paint(window); return 0;
    case WM_SETFONT:
        SetWindowLongPtrW(window, kFontSlot, static_cast<LONG_PTR>(wparam));
        if (LOWORD(lparam))
            InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return GetWindowLongPtrW(window, kFontSlot);
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcW(window, message, wparam, lparam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    case WM_NCHITTEST: return HTTRANSPARENT;  // clicks fall through to the window, as on a static label
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

bool register_label_class(HINSTANCE instance)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = label_proc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kLabelClass;
    return RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace qz
