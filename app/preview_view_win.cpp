// The WebBrowser in place: atl.dll's AtlAxWin is the container, our white window its frame.
#include "preview_view_win.h"

#include <docobj.h>

#include <string>

namespace qz {
namespace {

constexpr wchar_t kHostClass[] = L"QzFlashPreviewHost";

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

constexpr wchar_t kAtlClasses[][16] = {L"AtlAxWin", L"AtlAxWinLic"};

// Keeps the browser's windows sized to the host, and the form's font.
LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_SIZE:
        if (HWND child = GetWindow(window, GW_CHILD))
            MoveWindow(child, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
        return 0;
    case WM_SETFONT: SetWindowLongPtrW(window, 0, static_cast<LONG_PTR>(wparam)); return 0;
    case WM_GETFONT: return GetWindowLongPtrW(window, 0);
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

bool register_host_class(HINSTANCE instance)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = host_proc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kHostClass;
    return RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Bytes of the ANSI code page to a BSTR; the caller frees it.
BSTR ansi_to_bstr(const char* text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    BSTR result = SysAllocStringLen(nullptr, length > 0 ? static_cast<UINT>(length - 1) : 0);
    if (result && length > 1)
        MultiByteToWideChar(CP_ACP, 0, text, -1, result, length);
    return result;
}

}  // namespace

WebPreview::~WebPreview()
{
    browser_.reset();
    if (atl_) {
        // The container's classes would outlive atl.dll and point into
        // freed code; atl.dll registers them for itself or for the program.
        for (const wchar_t* name : kAtlClasses) {
            UnregisterClassW(name, atl_.get());
            UnregisterClassW(name, GetModuleHandleW(nullptr));
        }
    }
    atl_.reset();
}

bool WebPreview::create(HWND parent, int left, int top, int width, int height)
{
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    if (!register_host_class(instance))
        return false;
    // Only the system's own copy: never one planted beside the program.
    atl_.reset(LoadLibraryExW(L"atl.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!atl_ && GetLastError() == ERROR_INVALID_PARAMETER) {
        // A Windows 7 without the search-path update: name the file whole.
        wchar_t path[MAX_PATH];
        UINT length = GetSystemDirectoryW(path, MAX_PATH - 9);
        if (length > 0 && length < MAX_PATH - 9) {
            lstrcatW(path, L"\\atl.dll");
            atl_.reset(LoadLibraryW(path));
        }
    }
    if (!atl_)
        return false;
    auto init = reinterpret_cast<AtlAxWinInitFn>(reinterpret_cast<void*>(GetProcAddress(atl_.get(), "AtlAxWinInit")));
    auto get_control =
        reinterpret_cast<AtlAxGetControlFn>(reinterpret_cast<void*>(GetProcAddress(atl_.get(), "AtlAxGetControl")));
    if (!init || !get_control || !init())
        return false;

    host_ = CreateWindowExW(0, kHostClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_DISABLED, left, top,
                            width, height, parent, nullptr, instance, nullptr);
    if (!host_)
        return false;
    HWND container = CreateWindowExW(0, L"AtlAxWin", kWebBrowserClsid, WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                     host_, nullptr, instance, nullptr);
    if (!container)
        return false;
    ComRef<IUnknown> control;
    if (FAILED(get_control(container, control.put())) || !control)
        return false;
    if (FAILED(control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(browser_.put()))) || !browser_)
        return false;

    VARIANT zoom;
    VariantInit(&zoom);
    zoom.vt = VT_I4;
    zoom.lVal = 2;  // the middle of the five text sizes
    browser_->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &zoom, nullptr);
    browser_->put_Offline(VARIANT_FALSE);
    browser_->put_Silent(VARIANT_FALSE);
    return true;
}

void WebPreview::set_address(const char* address)
{
    address_ = Text(address ? address : "");
    if (!browser_)
        return;
    BSTR url = ansi_to_bstr(address_.c_str());
    if (!url)
        return;
    VARIANT none;
    VariantInit(&none);  // VT_EMPTY: no flags, frame, post data or headers
    browser_->Navigate(url, &none, &none, &none, &none);
    SysFreeString(url);
}

Text WebPreview::address() { return address_.absent() ? Text() : Text(address_.view()); }

Text WebPreview::location_url()
{
    BSTR url = nullptr;
    if (!browser_ || FAILED(browser_->get_LocationURL(&url)) || !url)
        return Text("");
    int length = WideCharToMultiByte(CP_ACP, 0, url, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(length > 0 ? static_cast<std::size_t>(length) : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, url, -1, bytes.data(), length, nullptr, nullptr);
    SysFreeString(url);
    return Text(std::string_view(bytes.c_str()));
}

}  // namespace qz
