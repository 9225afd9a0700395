// Dressing windows in the attached skin: subclassing and painting them.
#include "dress_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include "caption_layout.h"

namespace skinh {
namespace {

const Theme* g_theme = nullptr;  // borrowed, see set_current_theme

const wchar_t kProcProp[] = L"SkinH_EL.proc";  // the window's own procedure

enum Kind { kNotDressed, kFrameKind, kPushKind, kGroupKind, kListKind, kHeaderKind };

bool class_is(HWND window, const wchar_t* name)
{
    wchar_t buffer[64];
    return GetClassNameW(window, buffer, 64) > 0 && lstrcmpiW(buffer, name) == 0;
}

Kind kind_of(HWND window)
{
    const LONG style = LONG(GetWindowLongPtrW(window, GWL_STYLE));
    if (class_is(window, L"Button")) {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            return kPushKind;
        if (type == BS_GROUPBOX)
            return kGroupKind;
        return kNotDressed;
    }
    if (class_is(window, WC_LISTVIEWW))
        return kListKind;
    if (class_is(window, WC_HEADERW))
        return kHeaderKind;
    if (class_is(window, L"#32770"))
        return kFrameKind;
    // Other top-level windows with a caption are the thread's frames; tool
    // tips, menus and IME windows have none and stay as they are.
    if (!(style & WS_CHILD) && (style & WS_CAPTION) == WS_CAPTION)
        return kFrameKind;
    return kNotDressed;
}

LRESULT call_own(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    const auto own = reinterpret_cast<WNDPROC>(GetPropW(window, kProcProp));
    if (message == WM_NCDESTROY && own) {
        // The window's last message: give it back its procedure and drop the property.
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        RemovePropW(window, kProcProp);
    }
    return own ? CallWindowProcW(own, window, message, wparam, lparam)
               : DefWindowProcW(window, message, wparam, lparam);
}

COLORREF blend(COLORREF a, COLORREF b, int percent_b)
{
    auto mix = [&](int shift) {
        const int x = int((a >> shift) & 255), y = int((b >> shift) & 255);
        return DWORD((x * (100 - percent_b) + y * percent_b) / 100) << shift;
    };
    return mix(0) | mix(8) | mix(16);
}

void fill(HDC dc, const RECT& rect, COLORREF colour)
{
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void frame_rect(HDC dc, RECT rect, COLORREF colour, int width)
{
    for (int i = 0; i < width; ++i) {
        fill(dc, {rect.left, rect.top, rect.right, rect.top + 1}, colour);
        fill(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, colour);
        fill(dc, {rect.left, rect.top, rect.left + 1, rect.bottom}, colour);
        fill(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, colour);
        InflateRect(&rect, -1, -1);
    }
}

// Fills with the face brush lined up with the parent's, so the texture runs on.
void fill_face(HDC dc, HWND window, const RECT& rect)
{
    POINT origin{0, 0};
    if (HWND parent = GetParent(window); parent && (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(window, parent, &origin, 1);
    SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
    FillRect(dc, &rect, g_theme->face());
}

int window_text(HWND window, wchar_t* buffer, int size)
{
    const int n = GetWindowTextW(window, buffer, size);
    buffer[n > 0 ? n : 0] = L'\0';
    return n > 0 ? n : 0;
}

// --- frames: face, control colours, frame border and caption -----------------

// A caption box held down by the left button: the window that has the mouse
// captured for it, the box, and whether the pointer is on it (drawn pressed).
struct Press {
    HWND window = nullptr;
    CaptionPart part = kNotCaption;
    bool on_box = false;
};
Press g_press;

HICON caption_icon(HWND window)
{
    auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL2, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM));
    if (!icon)
        icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
    // Like the system, a frame without an icon of its own shows the default
    // one (dialog frames none), so its system menu has a place to be opened.
    if (!icon && !(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME))
        icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION, shared: never destroyed
    return icon;
}

// A close box whose command the window has switched off (CS_NOCLOSE, or
// "close" greyed in its system menu, as a yes/no message box does) is drawn
// dimmed and does nothing.
bool close_enabled(HWND window)
{
    if (GetClassLongPtrW(window, GCL_STYLE) & CS_NOCLOSE)
        return false;
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu)
        return true;
    const UINT state = GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND);
    return state == UINT(-1) || !(state & (MF_GRAYED | MF_DISABLED));
}

// The frame's geometry from the window itself; the painter, the hit test and
// the press tracking all read the caption through this one function.
CaptionLayout frame_layout(HWND window, HICON icon)
{
    const LONG style = LONG(GetWindowLongPtrW(window, GWL_STYLE));
    if ((style & WS_CAPTION) != WS_CAPTION || IsIconic(window))
        return {};
    RECT outer;
    GetWindowRect(window, &outer);
    POINT client{0, 0};
    ClientToScreen(window, &client);
    const bool tool = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
    CaptionShape shape;
    shape.width = outer.right - outer.left;
    shape.height = outer.bottom - outer.top;
    shape.border = client.x - outer.left;
    shape.caption = GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION);
    shape.system_menu = (style & WS_SYSMENU) != 0;
    shape.minimize_box = (style & WS_MINIMIZEBOX) != 0;
    shape.maximize_box = (style & WS_MAXIMIZEBOX) != 0;
    shape.icon = icon != nullptr && !tool;
    return caption_layout(shape);
}

// A point in screen coordinates, in the window's own.
POINT window_point(HWND window, POINT screen)
{
    RECT outer;
    GetWindowRect(window, &outer);
    return {screen.x - outer.left, screen.y - outer.top};
}

void paint_box(HDC dc, const Box& box, CaptionPart part, bool zoomed, bool pressed, COLORREF band, COLORREF ink)
{
    HPEN pen = CreatePen(PS_SOLID, 1, ink);
    HGDIOBJ old_pen = SelectObject(dc, pen);
    const RECT r{box.left, box.top, box.right, box.bottom};
    fill(dc, r, pressed ? blend(band, ink, 25) : blend(band, RGB(255, 255, 255), 18));
    frame_rect(dc, r, blend(band, ink, pressed ? 70 : 40), 1);
    const int shift = pressed ? 1 : 0;  // the glyph sinks while the box is held
    const int l = r.left + shift, t = r.top + shift, rr = r.right + shift, b = r.bottom + shift;
    switch (part) {
    case kClosePart:
        MoveToEx(dc, l + 4, t + 4, nullptr);
        LineTo(dc, rr - 4, b - 4);
        MoveToEx(dc, rr - 5, t + 4, nullptr);
        LineTo(dc, l + 3, b - 4);
        break;
    case kMinimizePart:
        MoveToEx(dc, l + 4, b - 5, nullptr);
        LineTo(dc, rr - 4, b - 5);
        break;
    case kMaximizePart:
        if (zoomed) {  // restore: two overlapping frames
            const RECT back{l + 6, t + 3, rr - 3, b - 6}, front{l + 3, t + 6, rr - 6, b - 3};
            frame_rect(dc, back, ink, 1);
            fill(dc, front, blend(band, RGB(255, 255, 255), 18));
            frame_rect(dc, front, ink, 1);
        } else {
            frame_rect(dc, {l + 3, t + 3, rr - 3, b - 3}, ink, 1);
            fill(dc, {l + 3, t + 4, rr - 3, t + 5}, ink);
        }
        break;
    default: break;
    }
    SelectObject(dc, old_pen);
    DeleteObject(pen);
}

void paint_caption(HWND window, bool active)
{
    const LONG style = LONG(GetWindowLongPtrW(window, GWL_STYLE));
    HICON icon = caption_icon(window);
    const CaptionLayout layout = frame_layout(window, icon);
    if (layout.band.empty())
        return;
    RECT outer;
    GetWindowRect(window, &outer);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    const int border = layout.band.left;
    HDC dc = GetWindowDC(window);
    if (!dc)
        return;

    const Theme& t = *g_theme;
    // Inactive, the caption fades towards the face.
    const COLORREF top = active ? t.colour(kCaptionTop) : blend(t.colour(kCaptionTop), t.colour(kFace), 45);
    const COLORREF bottom = active ? t.colour(kCaptionBottom) : blend(t.colour(kCaptionBottom), t.colour(kFace), 45);
    frame_rect(dc, {0, 0, width, height}, t.colour(kFrame), 1);
    if (border > 1) {
        const RECT inner{1, 1, width - 1, height - 1};
        frame_rect(dc, inner, bottom, border - 1);
    }
    const Box& bar = layout.band;
    const int caption = bar.bottom - bar.top;
    for (int y = bar.top; y < bar.bottom; ++y)
        fill(dc, {bar.left, y, bar.right, y + 1},
             blend(top, bottom, (y - bar.top) * 100 / (caption > 1 ? caption - 1 : 1)));

    if (!layout.icon.empty())
        DrawIconEx(dc, layout.icon.left, layout.icon.top, icon, layout.icon.right - layout.icon.left,
                   layout.icon.bottom - layout.icon.top, 0, nullptr, DI_NORMAL);

    const bool zoomed = (style & WS_MAXIMIZE) != 0;
    const CaptionPart parts[] = {kClosePart, kMaximizePart, kMinimizePart};
    for (CaptionPart part : parts) {
        const Box box = part_box(layout, part);
        if (box.empty())
            continue;
        const bool enabled = part != kClosePart || close_enabled(window);
        paint_box(dc, box, part, zoomed, g_press.window == window && g_press.part == part && g_press.on_box, bottom,
                  enabled ? t.colour(kCaptionText) : blend(t.colour(kCaptionText), bottom, 60));
    }

    wchar_t text[256];
    window_text(window, text, 256);
    RECT text_rect{layout.text.left, layout.text.top, layout.text.right, layout.text.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, t.colour(kCaptionText));
    HGDIOBJ old_font = SelectObject(dc, t.caption_font());
    DrawTextW(dc, text, -1, &text_rect, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, old_font);
    ReleaseDC(window, dc);
}

bool is_active(HWND window) { return GetActiveWindow() == window || GetForegroundWindow() == window; }

// The system lays out its own boxes (with room for a greyed maximise box);
// inside the caption band only what the skin draws may answer.
LRESULT caption_hit(HWND window, LPARAM lparam, LRESULT system)
{
    const CaptionLayout layout = frame_layout(window, caption_icon(window));
    const POINT at = window_point(window, {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
    switch (caption_part_at(layout, at.x, at.y)) {
    case kNotCaption: break;
    case kCaptionBand: return HTCAPTION;
    case kIconPart: return HTSYSMENU;
    case kMinimizePart: return HTMINBUTTON;
    case kMaximizePart: return HTMAXBUTTON;
    case kClosePart: return HTCLOSE;
    }
    // Outside the band: a frame that cannot be resized has no sizing edges.
    const LONG style = LONG(GetWindowLongPtrW(window, GWL_STYLE));
    if (!(style & WS_THICKFRAME) && system >= HTLEFT && system <= HTBOTTOMRIGHT)
        return HTBORDER;
    if (system == HTSYSMENU || system == HTMINBUTTON || system == HTMAXBUTTON || system == HTCLOSE || system == HTHELP)
        return layout.band.empty() ? system : HTCAPTION;
    return system;
}

CaptionPart part_of_hit(WPARAM hit)
{
    switch (hit) {
    case HTMINBUTTON: return kMinimizePart;
    case HTMAXBUTTON: return kMaximizePart;
    case HTCLOSE: return kClosePart;
    default: return kNotCaption;
    }
}

bool pointer_on_box(HWND window, CaptionPart part, POINT screen)
{
    const POINT at = window_point(window, screen);
    return caption_part_at(frame_layout(window, caption_icon(window)), at.x, at.y) == part;
}

// The box is tracked here rather than by the system, which would draw its own
// box in its own place while the button is down.
bool begin_press(HWND window, WPARAM hit, LPARAM lparam)
{
    const CaptionPart part = part_of_hit(hit);
    if (part == kNotCaption || !pointer_on_box(window, part, {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}))
        return false;
    if (part == kClosePart && !close_enabled(window))
        return true;  // taken, so the system does not track a box of its own
    g_press = {window, part, true};
    SetCapture(window);
    paint_caption(window, is_active(window));
    return true;
}

void follow_press(HWND window, LPARAM client_point)
{
    POINT screen{GET_X_LPARAM(client_point), GET_Y_LPARAM(client_point)};
    ClientToScreen(window, &screen);
    const bool on_box = pointer_on_box(window, g_press.part, screen);
    if (on_box != g_press.on_box) {
        g_press.on_box = on_box;
        paint_caption(window, is_active(window));
    }
}

// Released on the box: its command; anywhere else: nothing.
void end_press(HWND window, LPARAM client_point)
{
    POINT screen{GET_X_LPARAM(client_point), GET_Y_LPARAM(client_point)};
    ClientToScreen(window, &screen);
    const CaptionPart part = g_press.part;
    const bool on_box = pointer_on_box(window, part, screen);
    g_press = {};
    ReleaseCapture();
    paint_caption(window, is_active(window));
    if (!on_box)
        return;
    WPARAM command = SC_CLOSE;
    if (part == kMinimizePart)
        command = SC_MINIMIZE;
    else if (part == kMaximizePart)
        command = IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE;
    SendMessageW(window, WM_SYSCOMMAND, command, MAKELPARAM(screen.x, screen.y));
}

LRESULT control_colour(UINT message, HDC dc, HWND control)
{
    const Theme& t = *g_theme;
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX || class_is(control, L"Edit")) {
        SetTextColor(dc, t.colour(kEditText));
        SetBkColor(dc, t.colour(kEditBack));
        return reinterpret_cast<LRESULT>(t.edit());
    }
    SetTextColor(dc, t.colour(kFaceText));
    SetBkMode(dc, TRANSPARENT);
    POINT origin{0, 0};
    if (control)
        MapWindowPoints(control, GetParent(control), &origin, 1);
    SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
    return reinterpret_cast<LRESULT>(t.face());
}

LRESULT CALLBACK frame_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window, &client);
        fill_face(reinterpret_cast<HDC>(wparam), window, client);
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return control_colour(message, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_NCPAINT:
    case WM_SETTEXT:
    case WM_SETICON: {
        const LRESULT result = call_own(window, message, wparam, lparam);
        paint_caption(window, is_active(window));
        return result;
    }
    case WM_NCACTIVATE: {
        const LRESULT result = call_own(window, message, wparam, lparam);
        paint_caption(window, wparam != 0);
        return result;
    }
    case WM_NCHITTEST: return caption_hit(window, lparam, call_own(window, message, wparam, lparam));
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (g_press.window == nullptr && begin_press(window, wparam, lparam))
            return 0;
        return call_own(window, message, wparam, lparam);
    case WM_MOUSEMOVE:
        if (g_press.window != window)
            return call_own(window, message, wparam, lparam);
        follow_press(window, lparam);
        return 0;
    case WM_LBUTTONUP:
        if (g_press.window != window)
            return call_own(window, message, wparam, lparam);
        end_press(window, lparam);
        return 0;
    case WM_NCDESTROY:
        if (g_press.window == window)
            g_press = {};
        return call_own(window, message, wparam, lparam);
    case WM_CAPTURECHANGED:
        // Capture taken away mid-press (a dialog, Esc, another window): no command.
        if (g_press.window == window && reinterpret_cast<HWND>(lparam) != window) {
            g_press = {};
            paint_caption(window, is_active(window));
        }
        return call_own(window, message, wparam, lparam);
    default: return call_own(window, message, wparam, lparam);
    }
}

// --- push buttons and group boxes ----------------------------------------------

void paint_push(HWND window, HDC dc)
{
    const Theme& t = *g_theme;
    RECT r;
    GetClientRect(window, &r);
    const LRESULT state = SendMessageW(window, BM_GETSTATE, 0, 0);
    const bool pressed = (state & BST_PUSHED) != 0;
    const bool enabled = IsWindowEnabled(window) != FALSE;
    const bool focused = GetFocus() == window;
    const bool is_default = (GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    fill(dc, r, pressed ? blend(t.colour(kButtonFace), t.colour(kButtonBorder), 30) : t.colour(kButtonFace));
    // A soft shade on the lower half gives the face some depth.
    const RECT lower{r.left, (r.top + r.bottom) / 2, r.right, r.bottom};
    if (!pressed)
        fill(dc, lower, blend(t.colour(kButtonFace), t.colour(kButtonBorder), 8));
    frame_rect(dc, r, t.colour(kButtonBorder), focused || is_default ? 2 : 1);

    wchar_t text[256];
    window_text(window, text, 256);
    RECT text_rect = r;
    if (pressed)
        OffsetRect(&text_rect, 1, 1);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? t.colour(kButtonText) : blend(t.colour(kButtonText), t.colour(kButtonFace), 60));
    HGDIOBJ old_font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text, -1, &text_rect, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    SelectObject(dc, old_font);
    if (focused && !(SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        RECT focus = r;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
}

void paint_group(HWND window, HDC dc)
{
    const Theme& t = *g_theme;
    RECT r;
    GetClientRect(window, &r);
    HWND parent = GetParent(window);
    // With a clipping parent nothing else paints inside the box.
    if (parent && (GetWindowLongPtrW(parent, GWL_STYLE) & WS_CLIPCHILDREN))
        fill_face(dc, window, r);
    HGDIOBJ old_font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    wchar_t text[256];
    const int length = window_text(window, text, 256);
    const int line_top = r.top + metrics.tmHeight / 2;
    HPEN pen = CreatePen(PS_SOLID, 1, t.colour(kGroupLine));
    HGDIOBJ old_pen = SelectObject(dc, pen);
    HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, r.left, line_top, r.right, r.bottom, 6, 6);
    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);
    DeleteObject(pen);
    if (length > 0) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text, length, &size);
        RECT text_rect{r.left + 8, r.top, r.left + 8 + size.cx + 4, r.top + metrics.tmHeight};
        if (text_rect.right > r.right - 4)
            text_rect.right = r.right - 4;
        fill_face(dc, window, text_rect);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, t.colour(kFaceText));
        InflateRect(&text_rect, -2, 0);
        // NOLINTNEXTLINE(misc-redundant-expression): DT_LEFT and DT_TOP are 0, named for the reader
        DrawTextW(dc, text, length, &text_rect, DT_SINGLELINE | DT_LEFT | DT_TOP | DT_END_ELLIPSIS);
    }
    SelectObject(dc, old_font);
}

void paint_header(HWND window, HDC dc)
{
    const Theme& t = *g_theme;
    RECT r;
    GetClientRect(window, &r);
    fill(dc, r, t.colour(kHeaderBack));
    fill(dc, {r.left, r.bottom - 1, r.right, r.bottom}, t.colour(kGroupLine));
    HGDIOBJ old_font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, t.colour(kHeaderText));
    const int count = int(SendMessageW(window, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT item;
        if (!SendMessageW(window, HDM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&item)))
            continue;
        wchar_t text[128] = L"";
        HDITEMW info{};
        info.mask = HDI_TEXT | HDI_FORMAT;
        info.pszText = text;
        info.cchTextMax = 128;
        SendMessageW(window, HDM_GETITEMW, WPARAM(i), reinterpret_cast<LPARAM>(&info));
        fill(dc, {item.right - 1, item.top + 3, item.right, item.bottom - 3}, t.colour(kGroupLine));
        RECT text_rect{item.left + 6, item.top, item.right - 6, item.bottom - 1};
        UINT align = DT_LEFT;
        if ((info.fmt & HDF_JUSTIFYMASK) == HDF_CENTER)
            align = DT_CENTER;
        if ((info.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT)
            align = DT_RIGHT;
        DrawTextW(dc, text, -1, &text_rect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | align);
    }
    SelectObject(dc, old_font);
}

using Painter = void (*)(HWND, HDC);

// Controls that paint themselves in full: our painting replaces theirs, and
// after anything that makes them draw directly we draw over it at once.
LRESULT painted_control(HWND window, UINT message, WPARAM wparam, LPARAM lparam, Painter paint)
{
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        PAINTSTRUCT ps;
        HDC dc = wparam ? reinterpret_cast<HDC>(wparam) : BeginPaint(window, &ps);
        paint(window, dc);
        if (!wparam)
            EndPaint(window, &ps);
        return 0;
    }
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_MOUSEMOVE:
    case WM_CAPTURECHANGED:
    case WM_UPDATEUISTATE: {
        const LRESULT result = call_own(window, message, wparam, lparam);
        if (IsWindow(window))
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return result;
    }
    default: return call_own(window, message, wparam, lparam);
    }
}

LRESULT CALLBACK push_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return painted_control(w, m, wp, lp, paint_push); }
LRESULT CALLBACK group_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return painted_control(w, m, wp, lp, paint_group); }
LRESULT CALLBACK header_proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return painted_control(w, m, wp, lp, paint_header);
}

WNDPROC proc_for(Kind kind)
{
    switch (kind) {
    case kFrameKind: return frame_proc;
    case kPushKind: return push_proc;
    case kGroupKind: return group_proc;
    case kHeaderKind: return header_proc;
    default: return nullptr;
    }
}

bool ours(WNDPROC proc) { return proc == frame_proc || proc == push_proc || proc == group_proc || proc == header_proc; }

void colour_list(HWND list)  // NOLINT(misc-no-recursion): dresses the list's header, which is no list
{
    const Theme& t = *g_theme;
    SendMessageW(list, LVM_SETBKCOLOR, 0, LPARAM(t.colour(kListBack)));
    SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, LPARAM(t.colour(kListBack)));
    SendMessageW(list, LVM_SETTEXTCOLOR, 0, LPARAM(t.colour(kListText)));
    if (HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)))
        dress(header);
}

BOOL CALLBACK dress_child(HWND window, LPARAM)
{
    dress(window);
    return TRUE;
}

BOOL CALLBACK dress_top(HWND window, LPARAM)
{
    dress(window);
    EnumChildWindows(window, dress_child, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

void undress(HWND window)
{
    const auto own = reinterpret_cast<WNDPROC>(GetPropW(window, kProcProp));
    if (!own)
        return;
    // Someone subclassed over us: taking ours out now would cut them off.
    if (!ours(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC))))
        return;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
    RemovePropW(window, kProcProp);
}

BOOL CALLBACK undress_child(HWND window, LPARAM)
{
    undress(window);
    return TRUE;
}

BOOL CALLBACK undress_top(HWND window, LPARAM)
{
    EnumChildWindows(window, undress_child, 0);
    undress(window);
    return TRUE;
}

}  // namespace

void set_current_theme(const Theme* theme) { g_theme = theme; }

void dress(HWND window)  // NOLINT(misc-no-recursion): a list's header is the only window dressed from within
{
    if (!g_theme || !window || GetPropW(window, kProcProp))
        return;
    const Kind kind = kind_of(window);
    if (kind == kListKind) {
        colour_list(window);
        return;
    }
    WNDPROC proc = proc_for(kind);
    if (!proc)
        return;
    const auto own = reinterpret_cast<LONG_PTR>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (!own || !SetPropW(window, kProcProp, reinterpret_cast<HANDLE>(own)))
        return;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

void dress_thread_windows() { EnumThreadWindows(GetCurrentThreadId(), dress_top, 0); }

void undress_thread_windows(DWORD thread) { EnumThreadWindows(thread, undress_top, 0); }

}  // namespace skinh
