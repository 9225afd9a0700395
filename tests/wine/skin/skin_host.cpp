// A small program built like the real one around the skin step: a hidden main
// window whose created handler runs the skin step, then shown; the fatal
// report is a box "错误" and exit code -1. QZ_HOST_CLOSE_MS closes it.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "skin_step_win.h"
#include "text.h"

namespace {

std::wstring widen(const char* utf8)
{
    wchar_t wide[512];
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 512);
    return n > 0 ? std::wstring(wide) : std::wstring();
}

[[noreturn]] void fatal_report(const char* message)
{
    MessageBoxW(nullptr, (L"运行时出错!\n\n" + widen(message)).c_str(), L"错误", MB_ICONERROR);
    qz::release_skin_library();
    ExitProcess(UINT(-1));
}

HWND child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id)
{
    HWND made = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return made;
}

LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CREATE: {
        child(window, L"BUTTON", L"查询", BS_GROUPBOX, 10, 5, 420, 55, 1);
        child(window, L"EDIT", L"10000", WS_BORDER | ES_AUTOHSCROLL, 20, 25, 200, 22, 2);
        child(window, L"BUTTON", L"搜索", BS_PUSHBUTTON | WS_TABSTOP, 240, 24, 80, 24, 3);
        HWND list = child(window, WC_LISTVIEWW, L"", LVS_REPORT | WS_BORDER, 10, 70, 420, 180, 4);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 60;
        column.pszText = const_cast<wchar_t*>(L"序号");
        SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        column.cx = 340;
        column.pszText = const_cast<wchar_t*>(L"地址");
        SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<wchar_t*>(L"1");
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        const char* number = std::getenv("QZ_SKIN_NUMBER");
        qz::run_skin_step(number ? std::atoi(number) : 5);  // NOLINT(cert-err34-c): set by the test
        if (const char* ms = std::getenv("QZ_HOST_CLOSE_MS"))
            SetTimer(window, 1, UINT(std::atoi(ms)), nullptr);  // NOLINT(cert-err34-c): set by the test
        return 0;
    }
    case WM_TIMER: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    qz::set_fatal_handler(fatal_report);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW cls{};
    cls.lpfnWndProc = host_proc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = L"qz_skin_host";
    RegisterClassW(&cls);
    HWND window = CreateWindowExW(0, L"qz_skin_host", L"qzflash skin host",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 100, 100, 450, 300, nullptr,
                                  nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    qz::release_skin_library();
    return 0;
}
