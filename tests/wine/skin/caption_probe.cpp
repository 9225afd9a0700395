// caption_probe: reads a dressed window's frame from outside, for the caption test.
//   caption_probe wait TITLE       waits (10 s at most) until the window is visible
//   caption_probe geometry TITLE   left top width height border caption (screen pixels)
//   caption_probe row TITLE Y      the hit test code at every x of window row Y
//   caption_probe column TITLE X   the hit test code at every y of window column X
//   caption_probe state TITLE      gone, or iconic/normal then active/inactive
//   caption_probe restore TITLE    asks the window to restore itself
//   caption_probe hold MS          shows a window of its own, active, for MS ms
//   caption_probe menu             left top of the popup menu on screen, or none
// Exit status 0 on success, 1 when the window is not there.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>

namespace {

HWND find(const wchar_t* title, int tries)
{
    for (int i = 0; i < tries; ++i) {
        HWND window = FindWindowW(nullptr, title);
        if (window && IsWindowVisible(window))
            return window;
        Sleep(50);
    }
    return nullptr;
}

long hit(HWND window, int x, int y)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &result))
        return -1;
    return long(LRESULT(result));
}

// One line of hit codes along a row (vertical = false) or a column of the window.
int print_line(HWND window, int at, bool vertical)
{
    RECT outer;
    GetWindowRect(window, &outer);
    const int length = vertical ? outer.bottom - outer.top : outer.right - outer.left;
    for (int i = 0; i < length; ++i) {
        const long code =
            vertical ? hit(window, outer.left + at, outer.top + i) : hit(window, outer.left + i, outer.top + at);
        std::printf(i ? " %ld" : "%ld", code);
    }
    std::printf("\n");
    return 0;
}

LRESULT CALLBACK hold_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_TIMER || message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

int hold(int ms)
{
    WNDCLASSW cls{};
    cls.lpfnWndProc = hold_proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    cls.lpszClassName = L"caption_probe_hold";
    RegisterClassW(&cls);
    // In the screen's bottom-right corner, clear of a centred window's caption.
    const int w = 200, h = 80;
    HWND window = CreateWindowExW(0, cls.lpszClassName, L"caption probe hold", WS_OVERLAPPED | WS_CAPTION,
                                  GetSystemMetrics(SM_CXSCREEN) - w, GetSystemMetrics(SM_CYSCREEN) - h, w, h, nullptr,
                                  nullptr, cls.hInstance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetTimer(window, 1, UINT(ms), nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2 || (argc < 3 && std::wcscmp(argv[1], L"menu") != 0))
        return 2;
    const wchar_t* command = argv[1];
    if (!std::wcscmp(command, L"hold"))
        return hold(_wtoi(argv[2]));
    if (!std::wcscmp(command, L"menu")) {
        HWND menu = FindWindowW(L"#32768", nullptr);
        RECT r;
        if (menu && IsWindowVisible(menu) && GetWindowRect(menu, &r))
            std::printf("%ld %ld\n", r.left, r.top);
        else
            std::printf("none\n");
        return 0;
    }
    const bool waits = !std::wcscmp(command, L"wait");
    HWND window = find(argv[2], waits ? 200 : 1);
    if (!std::wcscmp(command, L"state")) {
        if (HWND w = FindWindowW(nullptr, argv[2]))
            std::printf("%s %s\n", IsIconic(w) ? "iconic" : "normal",
                        GetForegroundWindow() == w ? "active" : "inactive");
        else
            std::printf("gone\n");
        return 0;
    }
    if (!window)
        return 1;
    if (waits)
        return 0;
    if (!std::wcscmp(command, L"geometry")) {
        RECT outer;
        GetWindowRect(window, &outer);
        POINT client{0, 0};
        ClientToScreen(window, &client);
        const int border = client.x - outer.left;
        std::printf("%ld %ld %ld %ld %d %d\n", outer.left, outer.top, outer.right - outer.left,
                    outer.bottom - outer.top, border, int(client.y - outer.top) - border);
        return 0;
    }
    if (!std::wcscmp(command, L"row") && argc > 3)
        return print_line(window, _wtoi(argv[3]), false);
    if (!std::wcscmp(command, L"column") && argc > 3)
        return print_line(window, _wtoi(argv[3]), true);
    if (!std::wcscmp(command, L"restore"))
        return PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0) ? 0 : 1;
    return 2;
}
