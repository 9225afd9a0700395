// Split plus extraction over realistic and worst-case pages, beside memchr
// and memmem over the same buffer, with the peak memory as a multiple of the page.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstring>
#include <random>
#include <string>

#include "extract.h"
#include "reference_extract.h"

// Every allocation of the process is counted, so that the peak a pass adds
// on top of the page can be read off.
extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);
extern "C" void* __libc_calloc(std::size_t, std::size_t);
extern "C" void __libc_free(void*);

namespace {
std::size_t g_live = 0, g_peak = 0;
void counted(void* block)
{
    if (block) {
        g_live += malloc_usable_size(block);
        if (g_live > g_peak)
            g_peak = g_live;
    }
}
void uncounted(void* block)
{
    if (block)
        g_live -= malloc_usable_size(block);
}
}  // namespace

extern "C" void* malloc(std::size_t n)
{
    void* block = __libc_malloc(n);
    counted(block);
    return block;
}
extern "C" void* calloc(std::size_t n, std::size_t size)
{
    void* block = __libc_calloc(n, size);
    counted(block);
    return block;
}
extern "C" void* realloc(void* old, std::size_t n)
{
    uncounted(old);
    void* block = __libc_realloc(old, n);
    counted(block ? block : old);
    return block;
}
extern "C" void free(void* block)
{
    uncounted(block);
    __libc_free(block);
}

namespace {

// Rows are counted and summed, not stored: the list's own copies are not the pass's memory.
class CountingRows final : public qz::ResultRows {
public:
    int rows = 0;
    std::size_t bytes = 0;
    int row_count() override { return rows; }
    int insert_row(int index, const char*) override { return rows = index + 1, index; }
    void set_cell(int, int, const char* text) override { bytes += std::strlen(text); }
};

// HTML-like markup with GBK-like two-byte text, an "http" every ~300 bytes and
// about one in twenty of them a Flash address.
std::string realistic_page(std::size_t size)
{
    std::mt19937 random(7);
    std::string page;
    page.reserve(size + 512);
    static const char* tags[] = {
        "<div class=\"mod\">",      "</div>",  "<span>", "</span>", "<li><a href=\"#\">", "</a></li>",
        "<p style=\"color:#333\">", "</p>\r\n"};
    while (page.size() < size) {
        for (int i = 0; i < 4; ++i) {
            page += tags[random() % 8];
            for (unsigned k = random() % 24; k; --k) {  // two-byte characters
                page += static_cast<char>(0xB0 + random() % 0x40);
                page += static_cast<char>(0xA1 + random() % 0x5E);
            }
            page += " text ";
        }
        if (random() % 20 == 0)
            page += "<embed src=\"http://qzonestyle.gtimg.cn/qzone/space_item/orig/" + std::to_string(random()) +
                    ".swf\" wmode=\"transparent\">";
        else
            page += "<img src=\"http://qzonestyle.gtimg.cn/ac/b.gif\">";
    }
    page.resize(size);
    return page;
}

std::string repeated(std::string_view unit, std::size_t size)
{
    std::string page;
    page.reserve(size);
    while (page.size() < size)
        page += unit;
    page.resize(size);
    return page;
}

std::string high_runs_before_addresses(std::size_t size)
{
    return repeated(std::string(4001, '\xB0') + "http://a/b.swf\" ", size);
}

const std::string& page_for(int kind, std::size_t size)
{
    static std::string cache;
    static int cached_kind = -1;
    static std::size_t cached_size = 0;
    if (kind != cached_kind || size != cached_size) {
        cache.clear();
        cache.shrink_to_fit();
        switch (kind) {
        case 0: cache = realistic_page(size); break;
        case 1: cache = repeated("h", size); break;
        case 2: cache = repeated("\xB0", size); break;
        case 3: cache = high_runs_before_addresses(size); break;
        case 4: cache = repeated("http", size); break;
        default: cache = repeated("http.swfX", size); break;
        }
        cached_kind = kind;
        cached_size = size;
    }
    return cache;
}

const char* kKinds[] = {"realistic", "all_h", "all_B0", "high_runs", "http_repeated", "http.swfX_repeated"};

void report(benchmark::State& state, const std::string& page, std::size_t base_live)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
    state.counters["peak_x_page"] =
        static_cast<double>(g_peak - base_live + page.size()) / static_cast<double>(page.size());
    state.SetLabel(kKinds[state.range(0)]);
}

void BM_extract(benchmark::State& state)
{
    const std::string& page = page_for(static_cast<int>(state.range(0)), static_cast<std::size_t>(state.range(1)));
    std::size_t base = g_live;
    g_peak = g_live;
    CountingRows rows;
    for ([[maybe_unused]] auto _ : state) {
        rows = CountingRows();
        qz::extract_modules(page, rows);
        benchmark::DoNotOptimize(rows.bytes);
    }
    state.counters["rows"] = rows.rows;
    report(state, page, base);
}

void BM_plain_rule(benchmark::State& state)
{
    const std::string& page = page_for(static_cast<int>(state.range(0)), static_cast<std::size_t>(state.range(1)));
    std::size_t base = g_live;
    g_peak = g_live;
    for ([[maybe_unused]] auto _ : state)
        benchmark::DoNotOptimize(reference_rows(page).size());
    report(state, page, base);
}

void BM_memchr_h(benchmark::State& state)
{
    const std::string& page = page_for(static_cast<int>(state.range(0)), static_cast<std::size_t>(state.range(1)));
    std::size_t base = g_live;
    g_peak = g_live;
    for ([[maybe_unused]] auto _ : state) {
        std::size_t hits = 0;
        for (const char *p = page.data(), *end = p + page.size();
             (p = static_cast<const char*>(std::memchr(p, 'h', static_cast<std::size_t>(end - p)))); ++p)
            ++hits;
        benchmark::DoNotOptimize(hits);
    }
    report(state, page, base);
}

void BM_memmem_http(benchmark::State& state)
{
    const std::string& page = page_for(static_cast<int>(state.range(0)), static_cast<std::size_t>(state.range(1)));
    std::size_t base = g_live;
    g_peak = g_live;
    for ([[maybe_unused]] auto _ : state) {
        std::size_t hits = 0;
        for (const char *p = page.data(), *end = p + page.size();
             (p = static_cast<const char*>(memmem(p, static_cast<std::size_t>(end - p), "http", 4))); p += 4)
            ++hits;
        benchmark::DoNotOptimize(hits);
    }
    report(state, page, base);
}

void realistic_sizes(benchmark::internal::Benchmark* b)
{
    for (int64_t size : {int64_t(64) << 10, int64_t(4) << 20, int64_t(64) << 20})
        b->Args({0, size});
    for (int kind = 1; kind <= 5; ++kind)
        b->Args({kind, int64_t(64) << 20});
    b->Unit(benchmark::kMillisecond);
}

// The same page for each measurement in turn, so that all four see one buffer.
BENCHMARK(BM_extract)->Apply(realistic_sizes);
BENCHMARK(BM_memmem_http)->Apply(realistic_sizes);
BENCHMARK(BM_memchr_h)->Apply(realistic_sizes);
BENCHMARK(BM_plain_rule)->Apply(realistic_sizes)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
