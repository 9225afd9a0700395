// fill_bench_gtk: how fast the Linux window's list fills with 100,000 rows and
// empties again; prints figures beside their anchors, asserts nothing.
//   tools/sandbox/run --linux build/linux/fill_bench_gtk
// Each figure runs until the list has drawn the frame that shows the change.
#include <gtk/gtk.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "event_sink.h"
#include "extract.h"
#include "main_window_gtk.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRows = 100000;
constexpr double kGoalSeconds = 0.2;
constexpr double kWineFillSeconds = 0.35;  // the Windows list under Wine, measured by fill_bench.exe
constexpr double kWineEmptySeconds = 2.2;

class NoSink final : public qz::EventSink {
public:
    void run(qz::Handler, const qz::EventArgs&) override {}
};

gboolean note_frame(GtkWidget*, GdkFrameClock*, gpointer drawn)
{
    *static_cast<bool*>(drawn) = true;
    return G_SOURCE_REMOVE;
}

// Runs the main loop until the widget's next frame has been laid out and drawn.
void until_drawn(GtkWidget* widget)
{
    bool drawn = false;
    gtk_widget_add_tick_callback(widget, note_frame, &drawn, nullptr);
    gtk_widget_queue_draw(widget);
    while (!drawn)
        g_main_context_iteration(nullptr, TRUE);
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void report(const char* what, int rows, double seconds, double anchor)
{
    std::printf("%-44s %7d rows %7.3f s   goal < %.1f s, Windows list under Wine %.2f s\n", what, rows, seconds,
                kGoalSeconds, anchor);
}

// A page whose extraction gives `rows` rows, as the stand-in's big answers do.
std::string page_of(int rows)
{
    std::string page;
    const std::string block = "<embed src=\"http://qzflash.example/flash/block.swf\" x=\"1\"/>\r\n";
    page.reserve(block.size() * static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i)
        page += block;
    return page;
}

}  // namespace

int main()
{
    if (!gtk_init_check()) {
        std::fputs("fill_bench_gtk: no display\n", stderr);
        return 1;
    }
    NoSink sink;
    qz::MainWindow window(sink);
    if (!window.build()) {
        std::fputs("fill_bench_gtk: the window could not be built\n", stderr);
        return 1;
    }
    window.show();
    qz::GtkResultList& list = window.results();
    GtkWidget* view = list.view();
    until_drawn(view);
    const std::string page = page_of(kRows);

    for (const char* round : {"first", "second"}) {
        auto start = Clock::now();
        list.remove_all();
        qz::extract_modules(page, list);
        const double gathered = seconds_since(start);
        list.end_fill();
        until_drawn(view);
        const double total = seconds_since(start);
        report((std::string("filling by extraction, ") + round).c_str(), list.row_count(), total, kWineFillSeconds);
        std::printf("  of which rows gathered %.3f s, handed to the view and drawn %.3f s\n", gathered,
                    total - gathered);

        const int full = list.row_count();
        list.select_row(full - 1);
        start = Clock::now();
        list.remove_all();
        list.end_fill();
        until_drawn(view);
        report((std::string("emptying the full list, ") + round).c_str(), full, seconds_since(start),
               kWineEmptySeconds);
    }

    // The same rows without extraction: the list's own share.
    char number[32];
    const char address[] = "http://qzflash.example/flash/block.swf";
    auto start = Clock::now();
    list.remove_all();
    for (int i = 0; i < kRows; ++i) {
        std::snprintf(number, sizeof number, "%d", i + 1);
        list.set_cell(list.insert_row(i, number), 1, address);
    }
    list.end_fill();
    until_drawn(view);
    report("bare insert and set loop", list.row_count(), seconds_since(start), kWineFillSeconds);
    return 0;
}
