// SkinH_EL.dll's one function: take a skin and dress the calling thread in it.
#include <windows.h>

#include "dress_win.h"
#include "skin_format.h"
#include "theme_win.h"

namespace {

// The library's own state, for the one thread that attached a skin.
skinh::Theme g_theme;
HHOOK g_hook = nullptr;
DWORD g_thread = 0;
HINSTANCE g_module = nullptr;

// Windows made after the attach: dressed as soon as their WM_CREATE is done.
LRESULT CALLBACK after_message(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HC_ACTION) {
        const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
        if (sent->message == WM_CREATE && sent->lResult != -1)
            skinh::dress(sent->hwnd);
    }
    return CallNextHookEx(g_hook, code, wparam, lparam);
}

}  // namespace

// data/size: the skin file, read during the call only. text: a key for
// locked skins, unused by this library; the last three are reserved (0).
// Returns 0 or one of the codes of skinh::Result; on failure nothing changes.
extern "C" int WINAPI SkinH_AttachRes(const unsigned char* data, int size, const char* text, int reserved1,
                                      int reserved2, int reserved3)
{
    (void)text;
    (void)reserved1;
    (void)reserved2;
    (void)reserved3;
    if (size <= 0)
        return data ? skinh::kEmpty : skinh::kNullData;
    skinh::Skin skin{};
    if (const skinh::Result r = skinh::parse_skin(data, std::size_t(size), &skin); r != skinh::kOk)
        return r;
    skinh::Theme theme = skinh::Theme::make(skin);
    if (!theme.ready())
        return skinh::kSystem;

    const DWORD thread = GetCurrentThreadId();
    if (g_hook && g_thread != thread)
        return skinh::kSystem;  // one thread wears the skin
    if (!g_hook) {
        g_hook = SetWindowsHookExW(WH_CALLWNDPROCRET, after_message, g_module, thread);
        if (!g_hook)
            return skinh::kSystem;
        g_thread = thread;
    }
    g_theme = static_cast<skinh::Theme&&>(theme);
    skinh::set_current_theme(&g_theme);
    skinh::dress_thread_windows();
    return skinh::kOk;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        DisableThreadLibraryCalls(module);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded while windows may live on: none may keep a procedure of ours.
        if (g_hook)
            UnhookWindowsHookEx(g_hook);
        if (g_thread)
            skinh::undress_thread_windows(g_thread);
        skinh::set_current_theme(nullptr);
    }
    return TRUE;
}
