// A stand-in SkinH_EL.dll that dresses nothing and writes down how it was
// called (skin_record.txt beside itself), and, once the call has returned,
// whether the caller's skin buffer is still allocated.
#include <windows.h>

#include <cstdio>

namespace {

HINSTANCE g_module = nullptr;
const void* g_buffer = nullptr;  // the caller's, looked at only on the heaps

void record(const char* line)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(g_module, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\')
        --n;
    lstrcpyA(path + n, "skin_record.txt");
    if (std::FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%s\n", line);
        std::fclose(f);
    }
}

// Whether some heap of the process holds a busy block around address.
bool allocated(const void* address)
{
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry{};
        if (!HeapLock(heaps[i]))
            continue;
        bool busy = false;
        while (HeapWalk(heaps[i], &entry)) {
            const char* begin = static_cast<const char*>(entry.lpData);
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) && address >= begin && address < begin + entry.cbData) {
                busy = true;
                break;
            }
        }
        HeapUnlock(heaps[i]);
        if (busy)
            return true;
    }
    return false;
}

void CALLBACK after_return(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    char line[64];
    std::snprintf(line, sizeof line, "after: allocated=%d", g_buffer ? int(allocated(g_buffer)) : -1);
    record(line);
}

}  // namespace

extern "C" int WINAPI SkinH_AttachRes(const unsigned char* data, int size, const char* text, int a4, int a5, int a6)
{
    char line[256];
    char head[32] = "";
    char* at = head;
    for (int i = 0; data && i < 6 && i < size; ++i, at += 2)
        std::snprintf(at, 3, "%02x", data[i]);
    std::snprintf(line, sizeof line, "call: null=%d size=%d head=%s text=[%s] args=%d,%d,%d during: allocated=%d",
                  data == nullptr, size, head, text ? text : "(null)", a4, a5, a6, data ? int(allocated(data)) : -1);
    record(line);
    g_buffer = data;
    SetTimer(nullptr, 0, 0, after_return);  // runs once the caller is back in its message loop
    return 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_module = module;
    return TRUE;
}
