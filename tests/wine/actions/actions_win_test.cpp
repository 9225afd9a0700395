// The result actions against the real clipboard, message boxes, popup menu and list view.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "result_actions.h"
#include "selected_address.h"
#include "list_view_cells.h"
#include "win32_clipboard.h"
#include "win32_context_menu.h"
#include "win32_notices.h"
#include "window_watch.h"

namespace qz::test {
namespace {

// ---- the clipboard as another program sees it

std::optional<std::string> clipboard_text()
{
    for (int tries = 0; tries < 50 && !OpenClipboard(nullptr); ++tries)
        Sleep(20);
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        const char* bytes = static_cast<const char*>(GlobalLock(data));
        const SIZE_T size = GlobalSize(data);
        if (bytes)
            text = std::string(bytes, strnlen(bytes, size));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void set_clipboard(const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

// Another process that holds the clipboard open while it lives.
class ClipboardHeldElsewhere {
public:
    ClipboardHeldElsewhere(const ClipboardHeldElsewhere&) = delete;  // a copy would end the holder twice
    ClipboardHeldElsewhere& operator=(const ClipboardHeldElsewhere&) = delete;
    ClipboardHeldElsewhere()
    {
        const std::string tag = std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
        const std::string held_name = "qz_held_" + tag, release_name = "qz_release_" + tag;
        held_ = CreateEventA(nullptr, TRUE, FALSE, held_name.c_str());
        release_ = CreateEventA(nullptr, TRUE, FALSE, release_name.c_str());
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string holder = path;
        holder = holder.substr(0, holder.find_last_of("\\/") + 1) + "clipboard_holder.exe";
        std::string command = "\"" + holder + "\" " + held_name + " " + release_name;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        ok_ = CreateProcessA(holder.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process_) &&
              WaitForSingleObject(held_, 10000) == WAIT_OBJECT_0;
    }
    ~ClipboardHeldElsewhere()
    {
        let_go();
        CloseHandle(held_);
        CloseHandle(release_);
    }
    bool holding() const { return ok_; }
    void let_go()
    {
        SetEvent(release_);
        if (process_.hProcess) {
            WaitForSingleObject(process_.hProcess, 10000);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
            process_ = {};
        }
    }

private:
    HANDLE held_, release_;
    PROCESS_INFORMATION process_{};
    bool ok_ = false;
};

std::string every_high_byte()
{
    std::string s = "http://a/";
    for (int b = 0x80; b <= 0xFF; ++b)
        s.push_back(static_cast<char>(b));
    return s + ".swf";
}

TEST(Win32Clipboard, TheTextReadsBackByteForByte)
{
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"plain address", "http://qzs.qq.com/qzone/m.swf"},
        {"every byte of 0x80 and above", every_high_byte()},
        {"every byte but zero",
         [] {
             std::string s;
             for (int b = 1; b < 256; ++b)
                 s.push_back(static_cast<char>(b));
             return s;
         }()},
        {"longer than 511 bytes", "http://a/" + std::string(3000, 'x') + ".swf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        set_clipboard("before");
        Win32Clipboard clipboard;
        EXPECT_EQ(clipboard.put_text(c.text), CopyOutcome::copied);
        EXPECT_EQ(clipboard_text(), c.text);
    }
}

TEST(Win32Clipboard, TwoCopiesLeaveTheSecond)
{
    Win32Clipboard clipboard;
    EXPECT_EQ(clipboard.put_text("http://a/first.swf"), CopyOutcome::copied);
    EXPECT_EQ(clipboard.put_text("http://a/second.swf"), CopyOutcome::copied);
    EXPECT_EQ(clipboard_text(), "http://a/second.swf");
}

TEST(Win32Clipboard, FailuresLeaveTheContentAsItWas)
{
    set_clipboard("the user's text");
    {
        SCOPED_TRACE("no memory: the clipboard is not even opened");
        EXPECT_EQ(give_to_clipboard(GlobalMemory()), CopyOutcome::no_memory);
        EXPECT_EQ(clipboard_text(), "the user's text");
    }
    {
        SCOPED_TRACE("held open by another process");
        ClipboardHeldElsewhere holder;
        ASSERT_TRUE(holder.holding());
        Win32Clipboard clipboard;
        EXPECT_EQ(clipboard.put_text("http://a/new.swf"), CopyOutcome::clipboard_busy);
        holder.let_go();
        EXPECT_EQ(clipboard_text(), "the user's text");
    }
}

TEST(Win32Clipboard, PreparedMemoryHoldsTheTextAndAZero)
{
    const std::string text = every_high_byte();
    GlobalMemory memory = clipboard_text_memory(text);
    ASSERT_TRUE(memory);
    EXPECT_GE(GlobalSize(memory.get()), text.size() + 1);
    EXPECT_EQ(GlobalFlags(memory.get()) & GMEM_LOCKCOUNT, 0u);
    const char* bytes = static_cast<const char*>(GlobalLock(memory.get()));
    EXPECT_EQ(std::string(bytes, text.size() + 1), text + '\0');
    GlobalUnlock(memory.get());
}

// ---- a window of this thread, to see the boxes' task-modality and to own the popup

std::vector<WPARAM> g_commands;  // WM_COMMAND the test window received

LRESULT CALLBACK test_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_COMMAND && lparam == 0)
        g_commands.push_back(wparam);
    return DefWindowProcW(window, message, wparam, lparam);
}

class TestWindow {
public:
    TestWindow(const TestWindow&) = delete;  // a copy would destroy the window twice
    TestWindow& operator=(const TestWindow&) = delete;
    TestWindow()
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = test_window_proc;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.lpszClassName = L"QzActionsTest";
        window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        RegisterClassW(&window_class);
        window_ = CreateWindowExW(0, L"QzActionsTest", L"actions", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 645, 473,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        list_ = CreateWindowExW(WS_EX_STATICEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER, 2, 40, 634, 72,
                                window_, nullptr, GetModuleHandleW(nullptr), nullptr);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 30;
        column.pszText = const_cast<wchar_t*>(L"序列");
        SendMessageW(list_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        column.cx = 600;
        column.pszText = const_cast<wchar_t*>(L"FLASH地址");
        SendMessageW(list_, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
        SetForegroundWindow(window_);
        pump_messages();
        g_commands.clear();
    }
    ~TestWindow()
    {
        DestroyWindow(window_);
        pump_messages();
    }
    HWND window() const { return window_; }
    HWND list() const { return list_; }

    // Rows as the main window puts them in: data through the ANSI message.
    void add_row(const std::string& address)
    {
        const int row = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
        std::string number = std::to_string(row + 1);
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = number.data();
        SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<char*>(address.c_str());
        SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
    // The hint rows, the fixed text through the wide message.
    void add_hint_rows()
    {
        add_row("");
        add_row("");
        add_row("");
        LVITEMW item{};
        item.iSubItem = 1;
        item.pszText = const_cast<wchar_t*>(L"在此点击鼠标右键复制地址");
        SendMessageW(list_, LVM_SETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&item));
    }
    void select(int row)
    {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = row >= 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
        SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }

private:
    HWND window_;
    HWND list_;
};

// The hint text as the list hands it to the ANSI calls: code page 936 bytes.
const std::string kHintBytes =
    "\xD4\xDA\xB4\xCB\xB5\xE3\xBB\xF7\xCA\xF3\xB1\xEA\xD3\xD2\xBC\xFC\xB8\xB4\xD6\xC6\xB5\xD8\xD6\xB7";

// ---- the message boxes, read from the real dialog

struct SeenBox {
    bool shown = false;
    std::wstring caption, text;
    bool has_owner = true;
    HICON icon = nullptr;
    int buttons = 0;
    bool other_window_disabled = false;
};

BOOL CALLBACK look_at_child(HWND child, LPARAM param)
{
    auto* seen = reinterpret_cast<SeenBox*>(param);
    const std::wstring kind = class_of(child);
    if (kind == L"Button")
        ++seen->buttons;
    if (kind == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        seen->icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    return TRUE;
}

// Waits for a box of `thread` (until `stop`), reads it and dismisses it.
SeenBox read_and_dismiss_box(DWORD thread, HWND other_window, HANDLE stop)
{
    SeenBox seen;
    HWND box = wait_for_thread_window(thread, L"#32770", stop);
    if (!box)
        return seen;
    seen.shown = true;
    seen.caption = window_text(box);
    seen.text = window_text(GetDlgItem(box, 0xFFFF));
    seen.has_owner = GetWindow(box, GW_OWNER) != nullptr;
    seen.other_window_disabled = !IsWindowEnabled(other_window);
    EnumChildWindows(box, look_at_child, reinterpret_cast<LPARAM>(&seen));
    if (HWND ok = GetDlgItem(box, IDOK))
        PostMessageW(ok, BM_CLICK, 0, 0);
    else
        PostMessageW(box, WM_CLOSE, 0, 0);
    return seen;
}

// Runs `act` on this thread and reads the box it shows, if any.
SeenBox box_of(const std::function<void()>& act, HWND other_window)
{
    SeenBox seen;
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const DWORD thread = GetCurrentThreadId();
    act_while_watching(
        [&] {
            act();
            SetEvent(done);
        },
        [&] { seen = read_and_dismiss_box(thread, other_window, done); });
    CloseHandle(done);
    return seen;
}

TEST(MessageBoxNotices, ShowTheirTextsCaptionIconAndAreTaskModal)
{
    TestWindow window;
    const struct {
        const char* name;
        Notice notice;
        const wchar_t* text;
        const wchar_t* icon;  // the information (32516) or warning (32515) icon
        UINT style;
    } cases[] = {
        {"copied", Notice::copied, L"复制成功!", MAKEINTRESOURCEW(32516), 64 | 0x2000},
        {"copy failed", Notice::copy_failed, L"复制失败!", MAKEINTRESOURCEW(32515), 0x30 | 0x2000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(notice_box(c.notice).style, c.style);
        MessageBoxNotices notices;
        const SeenBox seen = box_of([&] { notices.show(c.notice); }, window.window());
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(seen.caption, L"信息：");
        EXPECT_EQ(seen.text, c.text);
        EXPECT_FALSE(seen.has_owner);
        EXPECT_EQ(seen.icon, LoadIconW(nullptr, c.icon));
        EXPECT_EQ(seen.buttons, 1);
        EXPECT_TRUE(seen.other_window_disabled) << "task-modal: the thread's windows are disabled";
        EXPECT_TRUE(IsWindowEnabled(window.window())) << "and enabled again afterwards";
    }
}

// ---- the actions through a real list view

class RecordingPreview final : public PreviewView {
public:
    std::vector<std::string> addresses;
    void set_address(const char* address) override { addresses.emplace_back(address); }
    Text address() override { return addresses.empty() ? Text() : Text(addresses.back()); }
};

class NoMenu final : public ContextMenu {
public:
    void cursor(int& x, int& y) override { x = y = 0; }
    void popup_at(int, int) override { ADD_FAILURE() << "no popup expected"; }
};

TEST(ListViewCells, ReadTheSelectedAddressWhole)
{
    ASSERT_EQ(GetACP(), 936u) << "the tests run with code page 936";
    TestWindow window;
    const std::string gbk = "http://a/\xC4\xE3\xBA\xC3/\xC4\xA3\xBF\xE9.swf";
    const std::string long_address = "http://a/" + std::string(700, 'L') + "\xC4\xE3.swf";
    window.add_row("http://qzs.qq.com/a.swf");
    window.add_row(gbk);
    window.add_row(long_address);
    window.add_row(std::string(511, 'e'));
    ListViewCells cells(window.list());
    const struct {
        const char* name;
        int row;
        std::string expected;
    } cases[] = {
        {"nothing selected", -1, ""},
        {"first row", 0, "http://qzs.qq.com/a.swf"},
        {"code page 936 bytes", 1, gbk},
        {"longer than 511 bytes", 2, long_address},
        {"exactly 511 bytes", 3, std::string(511, 'e')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window.select(-1);
        if (c.row >= 0)
            window.select(c.row);
        EXPECT_EQ(cells.selected_row(), c.row);
        EXPECT_EQ(read_selected_address(cells).view(), c.expected);
    }
}

TEST(CopyAction, ThroughTheRealListClipboardAndBoxes)
{
    TestWindow window;
    window.add_hint_rows();
    const std::string long_high = "http://a/" + std::string(600, '\xB0') + "\xC4\xE3.swf";
    window.add_row(long_high);
    ListViewCells cells(window.list());
    RecordingPreview preview;
    NoMenu menu;
    ActionControls controls{cells, preview, menu};
    Win32Clipboard clipboard;
    MessageBoxNotices notices;
    const struct {
        const char* name;
        int row;
        bool held_elsewhere;
        std::string clipboard_after;
        const wchar_t* box;  // null: no box
    } cases[] = {
        {"the hint row is copied like any row", 1, false, kHintBytes, L"复制成功!"},
        {"an address longer than 511 bytes, bytes of 0x80 and above", 3, false, long_high, L"复制成功!"},
        {"the first hint row has nothing to copy", 0, false, "before", nullptr},
        {"the third hint row has nothing to copy", 2, false, "before", nullptr},
        {"nothing selected", -1, false, "before", nullptr},
        {"clipboard held by another process", 3, true, "before", L"复制失败!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        set_clipboard("before");
        window.select(-1);
        if (c.row >= 0)
            window.select(c.row);
        std::optional<ClipboardHeldElsewhere> holder;
        if (c.held_elsewhere) {
            holder.emplace();
            ASSERT_TRUE(holder->holding());
        }
        const SeenBox seen = box_of([&] { copy_selected(controls, clipboard, notices); }, window.window());
        holder.reset();
        EXPECT_EQ(clipboard_text(), c.clipboard_after);
        EXPECT_EQ(seen.shown, c.box != nullptr);
        if (c.box) {
            EXPECT_EQ(seen.text, c.box);
            EXPECT_EQ(seen.caption, L"信息：");
        }
        EXPECT_TRUE(preview.addresses.empty());
    }
}

TEST(PreviewAction, ThroughTheRealList)
{
    TestWindow window;
    ListViewCells cells(window.list());
    RecordingPreview preview;
    NoMenu menu;
    ActionControls controls{cells, preview, menu};
    {
        SCOPED_TRACE("an empty list gives the empty address");
        preview_selected(controls);
        EXPECT_EQ(preview.addresses, std::vector<std::string>{""});
    }
    window.add_hint_rows();
    window.add_row("http://qzs.qq.com/b.swf");
    preview.addresses.clear();
    {
        SCOPED_TRACE("the hint row, twice: two navigations");
        window.select(1);
        preview_selected(controls);
        preview_selected(controls);
        EXPECT_EQ(preview.addresses, (std::vector<std::string>{kHintBytes, kHintBytes}));
    }
    preview.addresses.clear();
    {
        SCOPED_TRACE("a module row");
        window.select(3);
        preview_selected(controls);
        EXPECT_EQ(preview.addresses, std::vector<std::string>{"http://qzs.qq.com/b.swf"});
    }
}

// ---- the popup menu

constexpr PopupItem kItems[] = {{1, "查看效果"}, {2, "复制地址"}};

struct SeenMenu {
    bool shown = false;
    RECT rect{};
    HMENU menu = nullptr;
    std::vector<std::wstring> items;
};

void send_click_at(int x, int y)
{
    INPUT input[3] = {};
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    input[0].type = INPUT_MOUSE;
    input[0].mi.dx = x * 65535 / (width - 1);
    input[0].mi.dy = y * 65535 / (height - 1);
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[1] = input[0];
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    input[2] = input[0];
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, input, sizeof(INPUT));
}

TEST(ContextMenu, OpensAtThePointerPlusThreeAndReportsTheChosenItem)
{
    TestWindow window;
    ListViewCells cells(window.list());
    RecordingPreview preview;
    Win32ContextMenu menu(window.window(), kItems);
    ActionControls controls{cells, preview, menu};
    const struct {
        const char* name;
        std::vector<WPARAM> keys;  // empty: a click elsewhere
        std::vector<WPARAM> commands;
    } cases[] = {
        {"Escape runs nothing", {VK_ESCAPE}, {}},
        {"a click elsewhere runs nothing", {}, {}},
        {"the first item", {VK_DOWN, VK_RETURN}, {1}},
        {"the second item", {VK_DOWN, VK_DOWN, VK_RETURN}, {2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetCursorPos(400, 300);
        POINT pointer{};
        GetCursorPos(&pointer);
        g_commands.clear();
        SeenMenu seen;
        const DWORD thread = GetCurrentThreadId();
        act_while_watching([&] { pop_up_context_menu(controls); },
                           [&] {
                               HWND popup = wait_for_thread_window(thread, L"#32768");
                               if (!popup)
                                   return;
                               seen.shown = true;
                               GetWindowRect(popup, &seen.rect);
                               HMENU shown = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
                               seen.menu = shown;
                               for (int i = 0; i < GetMenuItemCount(shown); ++i) {
                                   wchar_t text[64] = {};
                                   GetMenuStringW(shown, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
                                   seen.items.emplace_back(text);
                               }
                               if (c.keys.empty())
                                   send_click_at(150, 400);  // on the test window, off the menu
                               for (WPARAM key : c.keys) {
                                   PostMessageW(popup, WM_KEYDOWN, key, 0);
                                   Sleep(30);
                               }
                           });
        pump_messages();
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(seen.rect.left, pointer.x + 3);
        EXPECT_EQ(seen.rect.top, pointer.y + 3);
        EXPECT_EQ(seen.items, (std::vector<std::wstring>{L"查看效果", L"复制地址"}));
        EXPECT_FALSE(IsMenu(seen.menu)) << "the popup is destroyed when it closes";
        EXPECT_EQ(g_commands, c.commands);
        EXPECT_TRUE(preview.addresses.empty()) << "the popup itself runs no action";
    }
}

}  // namespace
}  // namespace qz::test
