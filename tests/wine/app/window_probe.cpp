// window_probe: reads the running qzflash window from outside, for the end-to-end test.
//   window_probe wait            waits (10 s at most) until the main window is visible
//   window_probe rows            the list's rows: number, tab, address (\xHH outside ASCII)
//   window_probe account         the account box's text, raw bytes
//   window_probe focus           which control has the focus: account, search, list or other
//   window_probe point CONTROL   screen x y of the centre of "account", "search" or "list"
//   window_probe box TITLE       waits for a message box so titled; prints its text (UTF-8)
//   window_probe dismiss TITLE   presses OK on that box
// Exit status 0 on success, 1 when the window or box is not there.
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const wchar_t kTitle[] = L"青禾坊QQ空间FLASH模块提取器";

HWND main_window()
{
    for (int i = 0; i < 200; ++i) {
        HWND window = FindWindowW(nullptr, kTitle);
        if (window && IsWindowVisible(window))
            return window;
        Sleep(50);
    }
    return nullptr;
}

HWND child_of_class(HWND parent, const wchar_t* window_class, int nth = 0)
{
    HWND child = nullptr;
    for (int i = 0; i <= nth; ++i) {
        child = FindWindowExW(parent, child, window_class, nullptr);
        if (!child)
            return nullptr;
    }
    return child;
}

// Narrow arguments arrive in the ANSI code page.
std::wstring widen_argument(const char* argument)
{
    wchar_t buffer[512] = {};
    MultiByteToWideChar(CP_ACP, 0, argument, -1, buffer, 512);
    return buffer;
}

void print_escaped(const char* text)
{
    for (const char* p = text; *p; ++p) {
        auto byte = static_cast<unsigned char>(*p);
        if (byte < 0x20 || byte > 0x7E || byte == '\\')
            std::printf("\\x%02X", byte);
        else
            std::putchar(byte);
    }
}

// LVM_GETITEMTEXTA with its LVITEMA and buffer in the list's own process.
int print_rows(HWND list)
{
    DWORD process_id = 0;
    GetWindowThreadProcessId(list, &process_id);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
    if (!process)
        return 1;
    constexpr SIZE_T kText = 4096;
    auto* remote =
        static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + kText, MEM_COMMIT, PAGE_READWRITE));
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        for (int column = 0; column < 2; ++column) {
            LVITEMA item{};
            item.iSubItem = column;
            item.pszText = remote + sizeof(LVITEMA);
            item.cchTextMax = kText;
            WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
            char text[kText + 1] = {};
            ReadProcessMemory(process, remote + sizeof(LVITEMA), text, kText, nullptr);
            if (column)
                std::putchar('\t');
            print_escaped(text);
        }
        std::putchar('\n');
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return 0;
}

HWND find_box(const char* title)
{
    std::wstring caption = widen_argument(title);
    for (int i = 0; i < 200; ++i) {
        if (HWND box = FindWindowW(L"#32770", caption.c_str()))
            return box;
        Sleep(50);
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);  // rows end in LF, as the expected files do
    if (argc < 2)
        return 2;
    const std::string command = argv[1];
    if (command == "box" || command == "dismiss") {
        HWND box = argc > 2 ? find_box(argv[2]) : nullptr;
        if (!box)
            return 1;
        if (command == "dismiss") {
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        wchar_t text[1024] = {};
        SendMessageW(GetDlgItem(box, 0xFFFF), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
        char utf8[4096] = {};
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
        std::fwrite(utf8, 1, std::strlen(utf8), stdout);
        return 0;
    }
    HWND window = main_window();
    if (!window)
        return 1;
    if (command == "wait")
        return 0;
    HWND account = child_of_class(window, L"Edit");
    HWND search = child_of_class(window, L"Button");
    HWND list = child_of_class(window, WC_LISTVIEWW);
    if (command == "rows")
        return print_rows(list);
    if (command == "account") {
        char text[1024] = {};
        SendMessageA(account, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        std::fputs(text, stdout);
        return 0;
    }
    if (command == "focus") {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
        std::puts(info.hwndFocus == account  ? "account"
                  : info.hwndFocus == search ? "search"
                  : info.hwndFocus == list   ? "list"
                                             : "other");
        return 0;
    }
    if (command == "point" && argc > 2) {
        const std::string which = argv[2];
        HWND target = which == "account" ? account : which == "search" ? search : list;
        RECT rect{};
        GetWindowRect(target, &rect);
        // Below the list's header, inside its rows.
        int y = which == "list" ? rect.top + 30 : (rect.top + rect.bottom) / 2;
        std::printf("%ld %d\n", (rect.left + rect.right) / 2, y);
        return 0;
    }
    return 2;
}
