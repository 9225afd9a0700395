// Helpers for the Wine tests: watching modal windows from a second thread.
#include "window_watch.h"

namespace qz::test {
namespace {

struct Search {
    const wchar_t* window_class;
    HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    if (IsWindowVisible(window) && class_of(window) == search->window_class) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI run_watch(void* param)
{
    (*static_cast<const std::function<void()>*>(param))();
    return 0;
}

}  // namespace

std::wstring class_of(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring window_text(HWND window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

HWND wait_for_thread_window(DWORD thread, const wchar_t* window_class, HANDLE stop)
{
    for (int tries = 0; tries < 250; ++tries) {
        Search search{window_class, nullptr};
        EnumThreadWindows(thread, match_window, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (stop && WaitForSingleObject(stop, 0) == WAIT_OBJECT_0)
            return nullptr;
        Sleep(20);
    }
    return nullptr;
}

void act_while_watching(const std::function<void()>& act, const std::function<void()>& watch)
{
    HANDLE watcher = CreateThread(nullptr, 0, run_watch, const_cast<std::function<void()>*>(&watch), 0, nullptr);
    act();
    // Keep serving the watcher's cross-thread calls until it is done.
    while (MsgWaitForMultipleObjects(1, &watcher, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        pump_messages();
    CloseHandle(watcher);
}

void pump_messages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace qz::test
