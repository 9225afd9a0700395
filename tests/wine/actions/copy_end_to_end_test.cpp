// The real qzflash.exe, driven from outside with real input: search, select a
// row, right-click it, choose "复制地址", read the clipboard, dismiss the box.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "window_watch.h"

namespace qz::test {
namespace {

const wchar_t kTitle[] = L"青禾坊QQ空间FLASH模块提取器";

template <typename Ready>
bool wait_until(Ready ready, int milliseconds = 15000)
{
    for (int waited = 0; waited < milliseconds; waited += 20) {
        if (ready())
            return true;
        Sleep(20);
    }
    return ready();
}

// The program's list read through memory in its own process, since LVM_
// messages with pointers do not cross processes by themselves.
class RemoteList {
public:
    RemoteList(HWND list, HANDLE process) : list_(list), process_(process)
    {
        memory_ =
            static_cast<char*>(VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteList()
    {
        if (memory_)
            VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    }
    RemoteList(const RemoteList&) = delete;
    RemoteList& operator=(const RemoteList&) = delete;

    int count() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }

    std::string text(int row, int column) const
    {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = memory_ + 1024;
        item.cchTextMax = kSize - 1024;
        WriteProcessMemory(process_, memory_, &item, sizeof item, nullptr);
        const LRESULT length =
            SendMessageA(list_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory_));
        std::string text(static_cast<std::size_t>(length), '\0');
        ReadProcessMemory(process_, memory_ + 1024, text.data(), text.size(), nullptr);
        return text;
    }

    // The middle of a row, in screen coordinates.
    POINT row_centre(int row) const
    {
        RECT rect{};
        rect.left = LVIR_BOUNDS;
        WriteProcessMemory(process_, memory_, &rect, sizeof rect, nullptr);
        SendMessageA(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory_));
        ReadProcessMemory(process_, memory_, &rect, sizeof rect, nullptr);
        POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        // Well inside column 1, away from the grid lines.
        centre.x = rect.left + 120;
        ClientToScreen(list_, &centre);
        return centre;
    }

private:
    static constexpr int kSize = 65536;
    HWND list_;
    HANDLE process_;
    char* memory_ = nullptr;
};

void mouse(DWORD flags, POINT at)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    Sleep(50);
}

void key(WORD virtual_key)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = virtual_key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
    Sleep(80);
}

std::optional<std::string> clipboard_text()
{
    for (int tries = 0; tries < 50 && !OpenClipboard(nullptr); ++tries)
        Sleep(20);
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data)))
            text = std::string(bytes, strnlen(bytes, GlobalSize(data)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

struct Found {
    HWND list = nullptr;
    HWND search = nullptr;
};

BOOL CALLBACK find_controls(HWND child, LPARAM param)
{
    auto* found = reinterpret_cast<Found*>(param);
    if (class_of(child) == L"SysListView32")
        found->list = child;
    else if (class_of(child) == L"Button" && window_text(child) == L"搜索模块地址")
        found->search = child;
    return TRUE;
}

BOOL CALLBACK find_popup(HWND window, LPARAM param)
{
    if (IsWindowVisible(window) && class_of(window) == L"#32768") {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

TEST(CopyEndToEnd, SearchRightClickCopyReadTheClipboardDismissTheBox)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string program = path;
    program = program.substr(0, program.find_last_of("\\/") + 1) + "qzflash.exe";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << program;

    HWND main = nullptr;
    ASSERT_TRUE(wait_until([&] {
        main = FindWindowW(nullptr, kTitle);
        return main && IsWindowVisible(main);
    }));
    Found found;
    EnumChildWindows(main, find_controls, reinterpret_cast<LPARAM>(&found));
    ASSERT_TRUE(found.list && found.search);
    RemoteList list(found.list, process.hProcess);

    // The search for the account box's own text: the stand-in's page has rows.
    ASSERT_EQ(list.count(), 3) << "the hint rows";
    PostMessageW(found.search, BM_CLICK, 0, 0);
    ASSERT_TRUE(wait_until([&] { return list.count() != 3 || list.text(1, 1).rfind("http", 0) == 0; }));
    ASSERT_GE(list.count(), 1);
    // The row with bytes of 0x80 and above, when the page has one.
    int row = list.count() - 1;
    for (int r = 0; r < list.count(); ++r)
        for (char byte : list.text(r, 1))
            if (static_cast<unsigned char>(byte) >= 0x80)
                row = r;
    const std::string address = list.text(row, 1);
    ASSERT_EQ(address.rfind("http", 0), 0u) << address;
    SCOPED_TRACE("row " + std::to_string(row) + ": " + address);

    const std::string before = "the user's text";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, before.size() + 1);
    memcpy(GlobalLock(memory), before.c_str(), before.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();

    // Select the row, then a right press on it pops up the menu.
    const POINT at = list.row_centre(row);
    SetForegroundWindow(main);
    mouse(MOUSEEVENTF_MOVE, at);
    mouse(MOUSEEVENTF_LEFTDOWN, at);
    mouse(MOUSEEVENTF_LEFTUP, at);
    mouse(MOUSEEVENTF_RIGHTDOWN, at);
    HWND popup = nullptr;
    ASSERT_TRUE(wait_until(
        [&] {
            EnumWindows(find_popup, reinterpret_cast<LPARAM>(&popup));
            return popup != nullptr;
        },
        5000));
    RECT popup_rect{};
    GetWindowRect(popup, &popup_rect);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(popup_rect.left, cursor.x + 3);
    EXPECT_EQ(popup_rect.top, cursor.y + 3);
    mouse(MOUSEEVENTF_RIGHTUP, at);

    // "复制地址" is the second item.
    key(VK_DOWN);
    key(VK_DOWN);
    key(VK_RETURN);

    HWND box = nullptr;
    ASSERT_TRUE(wait_until([&] {
        box = FindWindowW(L"#32770", L"信息：");
        return box && IsWindowVisible(box);
    }));
    wchar_t text[64] = {};
    SendMessageW(GetDlgItem(box, 0xFFFF), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"复制成功!");
    EXPECT_FALSE(IsWindowEnabled(main)) << "the box is task-modal";
    EXPECT_EQ(clipboard_text(), address);

    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(box); }));
    EXPECT_TRUE(wait_until([&] { return IsWindowEnabled(main) != FALSE; }));

    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 15000), WAIT_OBJECT_0);
    DWORD exit_code = 1;
    GetExitCodeProcess(process.hProcess, &exit_code);
    EXPECT_EQ(exit_code, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace
}  // namespace qz::test
