// The result actions bound to the real main window, driven with real input:
// where the popup opens and when, the preview's address, double-clicks.
#include <windows.h>
#include <ole2.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main_window_win.h"
#include "standin_log.h"
#include "result_actions.h"
#include "win32_clipboard.h"
#include "win32_notices.h"
#include "window_watch.h"

namespace qz::test {
namespace {

// The hint text as the list hands it to the ANSI calls: code page 936 bytes.
const std::string kHintBytes =
    "\xD4\xDA\xB4\xCB\xB5\xE3\xBB\xF7\xCA\xF3\xB1\xEA\xD3\xD2\xBC\xFC\xB8\xB4\xD6\xC6\xB5\xD8\xD6\xB7";

// What the handlers did, written on the window's thread and read by the
// driver thread.
class Record {
public:
    Record() { InitializeCriticalSection(&lock_); }
    Record(const Record&) = delete;  // a copy would delete the lock twice
    Record& operator=(const Record&) = delete;
    ~Record() { DeleteCriticalSection(&lock_); }
    void add(const std::string& entry)
    {
        EnterCriticalSection(&lock_);
        entries_.push_back(entry);
        LeaveCriticalSection(&lock_);
    }
    std::vector<std::string> take()
    {
        EnterCriticalSection(&lock_);
        std::vector<std::string> entries;
        entries.swap(entries_);
        LeaveCriticalSection(&lock_);
        return entries;
    }
    // A chosen item's handler runs once the popup or box is gone, later on a
    // loaded machine than any fixed pause: waits for `count` entries (5 s at
    // most), then takes them all.
    std::vector<std::string> take(std::size_t count)
    {
        for (int i = 0; i < 250 && size() < count; ++i)
            Sleep(20);
        return take();
    }

private:
    std::size_t size()
    {
        EnterCriticalSection(&lock_);
        const std::size_t n = entries_.size();
        LeaveCriticalSection(&lock_);
        return n;
    }
    CRITICAL_SECTION lock_{};
    std::vector<std::string> entries_;
};

// Runs the result actions for the form's bindings and nothing else.
class ActionSink final : public EventSink {
public:
    explicit ActionSink(Record& record) : record_(record) {}
    MainWindow* window = nullptr;
    void run(Handler handler, const EventArgs&) override
    {
        ActionControls controls = window->action_controls();
        switch (handler) {
        case Handler::context_menu:
            record_.add("menu");
            pop_up_context_menu(controls);
            break;
        case Handler::preview:
            preview_selected(controls);
            record_.add("preview " + std::string(window->preview().address().view()) + " | " +
                        std::string(window->preview().location_url().view()));
            break;
        case Handler::copy:
            copy_selected(controls, clipboard_, notices_);
            record_.add("copy");
            break;
        default: break;
        }
    }

private:
    Record& record_;
    Win32Clipboard clipboard_;
    MessageBoxNotices notices_;
};

void mouse(DWORD flags, POINT at)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
    Sleep(60);
}

void right_press(POINT at)
{
    mouse(0, at);
    mouse(MOUSEEVENTF_RIGHTDOWN, at);
    mouse(MOUSEEVENTF_RIGHTUP, at);
}

void double_click(POINT at)
{
    mouse(0, at);
    for (int i = 0; i < 2; ++i) {
        mouse(MOUSEEVENTF_LEFTDOWN, at);
        mouse(MOUSEEVENTF_LEFTUP, at);
    }
    Sleep(GetDoubleClickTime() / 2);
}

void key(WORD virtual_key)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = virtual_key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
    Sleep(60);
}

std::string clipboard_text()
{
    for (int tries = 0; tries < 50 && !OpenClipboard(nullptr); ++tries)
        Sleep(20);
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data)))
            text.assign(bytes, strnlen(bytes, GlobalSize(data)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// Drives the window from a second thread while this one runs its loop.
class WindowUnderTest : public ::testing::Test {
protected:
    // One window for the whole run: the program builds its window once, and
    // its classes stay registered.
    static void SetUpTestSuite()
    {
        OleInitialize(nullptr);
        record_ = new Record;
        sink_ = new ActionSink(*record_);
        window_ = new MainWindow(*sink_);
        sink_->window = window_;
        built_ = window_->build(GetModuleHandleW(nullptr));
        if (built_)
            window_->show();
    }
    static void TearDownTestSuite()
    {
        delete window_;
        delete sink_;
        delete record_;
        OleUninitialize();
    }
    void SetUp() override
    {
        ASSERT_TRUE(built_);
        thread_ = GetCurrentThreadId();
        list_ = window_->control(Control::results);
    }

    // Runs `script` on the driver thread; this thread takes the window's
    // messages through its pre-translation, as the program's loop does.
    void drive(const std::function<void()>& script)
    {
        HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        act_while_watching(
            [&] {
                MSG message;
                while (WaitForSingleObject(done, 0) != WAIT_OBJECT_0) {
                    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                        if (!window_->pre_translate(message)) {
                            TranslateMessage(&message);
                            DispatchMessageW(&message);
                        }
                    }
                    MsgWaitForMultipleObjects(1, &done, FALSE, 50, QS_ALLINPUT);
                }
            },
            [&] {
                script();
                SetEvent(done);
            });
        CloseHandle(done);
    }

    POINT row_point(int row)
    {
        RECT rect{};
        rect.left = LVIR_BOUNDS;
        SendMessageW(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
        POINT at{rect.left + 120, (rect.top + rect.bottom) / 2};
        ClientToScreen(list_, &at);
        return at;
    }
    POINT below_rows()
    {
        RECT client{};
        GetClientRect(list_, &client);
        POINT at{client.left + 200, client.bottom - 4};
        ClientToScreen(list_, &at);
        return at;
    }
    POINT header_point()
    {
        HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
        RECT rect{};
        GetWindowRect(header, &rect);
        return {rect.left + 200, (rect.top + rect.bottom) / 2};
    }
    void select(int row)
    {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
    void replace_rows(const std::vector<std::string>& addresses)
    {
        ListViewRows& rows = window_->results();
        rows.remove_all();
        for (const std::string& address : addresses) {
            const int row = rows.insert_row(rows.row_count(), "1");
            rows.set_cell(row, 1, address.c_str());
        }
        rows.end_fill();
    }

    // Pops the menu with a right press at `at` and checks where it opened.
    HWND pop_up_at(POINT at)
    {
        right_press(at);
        HWND popup = wait_for_thread_window(thread_, L"#32768");
        if (!popup)
            return nullptr;
        RECT rect{};
        GetWindowRect(popup, &rect);
        POINT cursor{};
        GetCursorPos(&cursor);
        EXPECT_EQ(rect.left, cursor.x + 3);
        EXPECT_EQ(rect.top, cursor.y + 3);
        return popup;
    }
    void wait_gone(HWND popup)
    {
        for (int i = 0; i < 100 && IsWindowVisible(popup); ++i)
            Sleep(20);
        Sleep(200);  // the chosen item's command, when there is one, runs now
        settle();
    }
    // After the handler returns, the press goes on to the list, which tracks
    // the pointer for a drag until it moves away or a button goes up.
    static void settle()
    {
        POINT at{};
        GetCursorPos(&at);
        mouse(0, {at.x + 30, at.y + 30});
        mouse(0, at);
        Sleep(100);
    }

    static inline Record* record_ = nullptr;
    static inline ActionSink* sink_ = nullptr;
    static inline MainWindow* window_ = nullptr;
    static inline bool built_ = false;
    DWORD thread_ = 0;
    HWND list_ = nullptr;
};

using Entries = std::vector<std::string>;

TEST_F(WindowUnderTest, ThePopupOpensOverTheRowsAndRunsOnlyAChosenItem)
{
    drive([&] {
        {
            SCOPED_TRACE("on a hint row, dismissed by Escape");
            HWND popup = pop_up_at(row_point(1));
            ASSERT_TRUE(popup);
            key(VK_ESCAPE);
            wait_gone(popup);
            EXPECT_EQ(record_->take(), Entries{"menu"});
        }
        {
            SCOPED_TRACE("on the hint row, \"查看效果\"");
            select(1);
            HWND popup = pop_up_at(row_point(1));
            ASSERT_TRUE(popup);
            key(VK_DOWN);
            key(VK_RETURN);
            wait_gone(popup);
            const Entries seen = record_->take(2);
            ASSERT_EQ(seen.size(), 2u);
            EXPECT_EQ(seen[0], "menu");
            EXPECT_EQ(seen[1].substr(0, 8 + kHintBytes.size()), "preview " + kHintBytes);
        }
        {
            SCOPED_TRACE("on the hint row, \"复制地址\"");
            select(1);
            HWND popup = pop_up_at(row_point(1));
            ASSERT_TRUE(popup);
            key(VK_DOWN);
            key(VK_DOWN);
            key(VK_RETURN);
            HWND box = wait_for_thread_window(thread_, L"#32770");
            ASSERT_TRUE(box);
            EXPECT_EQ(window_text(GetDlgItem(box, 0xFFFF)), L"复制成功!");
            EXPECT_EQ(clipboard_text(), kHintBytes);
            PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            wait_gone(box);
            EXPECT_EQ(record_->take(2), (Entries{"menu", "copy"}));
        }
        {
            SCOPED_TRACE("on the column titles: nothing");
            right_press(header_point());
            EXPECT_FALSE(wait_for_thread_window(thread_, L"#32768", [] {
                static HANDLE stop = CreateWaitableTimerW(nullptr, TRUE, nullptr);
                LARGE_INTEGER due{};
                due.QuadPart = -5000000;  // half a second
                SetWaitableTimer(stop, &due, 0, nullptr, nullptr, FALSE);
                return stop;
            }()));
            // No Escape here: without a popup it would close the window.
            settle();
            EXPECT_EQ(record_->take(), Entries{});
        }
        {
            SCOPED_TRACE("below the last row");
            replace_rows({"http://qzflash.example/flash/one.swf"});
            HWND popup = pop_up_at(below_rows());
            ASSERT_TRUE(popup);
            key(VK_ESCAPE);
            wait_gone(popup);
            EXPECT_EQ(record_->take(), Entries{"menu"});
        }
        {
            SCOPED_TRACE("on an empty list, \"查看效果\" gives the empty address");
            replace_rows({});
            HWND popup = pop_up_at(below_rows());
            ASSERT_TRUE(popup);
            key(VK_DOWN);
            key(VK_RETURN);
            wait_gone(popup);
            const Entries seen = record_->take(2);
            ASSERT_EQ(seen.size(), 2u);
            EXPECT_EQ(seen[1].substr(0, 10), "preview  |");
        }
    });
}

TEST_F(WindowUnderTest, ADoubleClickPreviewsTheRowItSelected)
{
    const std::string address = "http://qzflash.example/flash/two.swf";
    replace_rows({"http://qzflash.example/flash/one.swf", address});
    drive([&] {
        {
            SCOPED_TRACE("twice on the same row: two navigations to its address");
            const std::size_t log_before = standin_log_size();
            double_click(row_point(1));
            settle();
            double_click(row_point(1));
            settle();
            const Entries seen = record_->take(2);
            ASSERT_EQ(seen.size(), 2u);
            // The view was given the row's address both times. What proves two
            // navigations is the server: Wine's browser may report its
            // location as "http:///" while a navigation to the same address
            // is still under way, so the location is not read here.
            for (const std::string& entry : seen)
                EXPECT_EQ(entry.substr(0, 10 + address.size()), "preview " + address + " |");
            int gets = 0;
            for (int tries = 0; tries < 50 && gets < 2; ++tries, Sleep(100)) {
                gets = 0;
                for (const std::string& request : requests_since(log_before))
                    gets += request.rfind("GET /flash/two.swf ", 0) == 0;
            }
            EXPECT_EQ(gets, 2) << "requests for the row's address that reached the server";
        }
        {
            SCOPED_TRACE("on the column titles: nothing");
            double_click(header_point());
            Sleep(300);
            settle();
            EXPECT_EQ(record_->take(), Entries{});
        }
    });
}

}  // namespace
}  // namespace qz::test
