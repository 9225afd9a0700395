// fill_bench: how fast a search fills the visible result list under Wine; prints figures, asserts nothing.
//   tools/sandbox/run build/win64/fill_bench.exe
// The stand-in answers account "big8" with 131,072 module addresses; the
// first search in a process also pays for growing the heap.
#include <windows.h>
#include <ole2.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <utility>

#include "main_window_win.h"
#include "program_handlers_win.h"
#include "query.h"
#include "wininet_transport.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

class NoSink final : public qz::EventSink {
public:
    void run(qz::Handler, const qz::EventArgs&) override {}
};

// Counts rows and keeps nothing: extraction's own cost.
class CountingRows final : public qz::ResultRows {
public:
    int row_count() override { return count; }
    int insert_row(int index, const char*) override { return index == count ? count++ : -1; }
    void set_cell(int, int, const char*) override {}
    int count = 0;
};

void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// LVM_INSERTITEMA + LVM_SETITEMTEXTA, one row at a time, as extraction does.
void bare_loop(HWND list, int rows)
{
    char number[32];
    const char address[] = "http://qzflash.example/flash/block.swf";
    for (int i = 0; i < rows; ++i) {
        std::snprintf(number, sizeof number, "%d", i + 1);
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = number;
        int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        LVITEMA cell{};
        cell.iSubItem = 1;
        cell.pszText = const_cast<char*>(address);
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    }
}

void report(const char* what, int rows, double seconds)
{
    if (rows)
        std::printf("%-40s %7d rows %7.3f s %8.0f rows/s, %6.3f s per 100,000\n", what, rows, seconds, rows / seconds,
                    seconds * 100000 / rows);
    else
        std::printf("%-40s %7s      %7.3f s\n", what, "", seconds);
}

}  // namespace

int main()
{
    OleInitialize(nullptr);
    qz::WinInetTransport transport;
    qz::Text page_text;
    {
        qz::ProgramHandlers handlers(transport, page_text, [](int) {});
        qz::MainWindow window(handlers);
        handlers.attach(window);
        if (!window.build(GetModuleHandleW(nullptr)))
            return 1;
        window.show();
        pump();
        HWND list = window.control(qz::Control::results);

        auto start = Clock::now();
        qz::ByteSet body = qz::fetch_page(qz::query_address("big8").view(), transport);
        report("fetch alone (8 MiB, no list)", 0, seconds_since(start));

        qz::Text page = qz::text_of(std::move(body));
        CountingRows counting;
        start = Clock::now();
        qz::extract_modules(page.view(), counting);
        report("extraction alone (no list)", counting.count, seconds_since(start));

        SetWindowTextA(window.control(qz::Control::account), "big8");
        for (const char* what : {"search handler, first in the process", "search handler, again"}) {
            start = Clock::now();
            handlers.run(qz::Handler::search, {});
            const double search_seconds = seconds_since(start);
            report(what, static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)), search_seconds);
            pump();
        }

        start = Clock::now();
        window.results().remove_all();
        window.results().end_fill();
        report("emptying the full list", counting.count, seconds_since(start));
        pump();
        start = Clock::now();
        window.results().remove_all();
        qz::extract_modules(page.view(), window.results());
        window.results().end_fill();
        report("extraction into the list (no fetch)", counting.count, seconds_since(start));
        pump();

        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        pump();
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        start = Clock::now();
        bare_loop(list, counting.count);
        report("bare loop, redraw off", counting.count, seconds_since(start));
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
        pump();

        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        pump();
        start = Clock::now();
        bare_loop(list, 1000);
        report("bare loop, visible list redrawing", 1000, seconds_since(start));
        pump();
        DestroyWindow(window.window());
        pump();
    }
    transport.close_session();
    OleUninitialize();
    return 0;
}
