// Module extraction in a single pass that serves both delimiters at once.
//
// Why one pass is the same as the two-level split: "http" and ".swf" share no
// byte, so neither can overlap the other or itself, and a piece always starts
// right after a "p" or at the page start. A position is a character start of
// the byte-pairing scan exactly when the run of bytes >= 0x80 just before it
// has even length (the byte before such a run is always a character start's
// successor), so each candidate is judged by looking back over that run only;
// runs before different candidates are disjoint, keeping the pass linear.
#include "extract.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qz {
namespace {

using byte = unsigned char;

constexpr char kHttp[] = "http";
constexpr char kSwf[] = ".swf";
constexpr std::size_t kDelimiterSize = 4;

bool after_even_high_run(const byte* begin, const byte* at)
{
    std::size_t run = 0;
    while (at > begin && at[-1] >= 0x80) {
        --at;
        ++run;
    }
    return run % 2 == 0;
}

// A growable buffer for the address being written; it ends the program
// rather than fail, as every text does.
class AddressBuffer {
public:
    AddressBuffer() = default;
    AddressBuffer(const AddressBuffer&) = delete;  // one owner of the block
    AddressBuffer& operator=(const AddressBuffer&) = delete;
    ~AddressBuffer() { std::free(data_); }
    const char* build(const byte* member, std::size_t length)
    {
        std::size_t needed = length + 2 * kDelimiterSize + 1;
        if (needed > capacity_) {
            data_ = static_cast<char*>(checked_realloc(data_, needed));
            capacity_ = needed;
        }
        // NOLINTNEXTLINE(clang-analyzer-core.NonNullParamChecker): capacity_ starts at 0, needed never is
        std::memcpy(data_, kHttp, kDelimiterSize);
        std::memcpy(data_ + kDelimiterSize, member, length);
        std::memcpy(data_ + kDelimiterSize + length, kSwf, kDelimiterSize + 1);
        return data_;
    }

private:
    char* data_ = nullptr;
    std::size_t capacity_ = 0;
};

class Extractor {
public:
    Extractor(const byte* page, ResultRows& rows) : page_(page), rows_(rows) {}

    void on_http(const byte* at)
    {
        close_piece(at);
        piece_ = at + kDelimiterSize;
        swf_count_ = 0;
    }

    void on_swf(const byte* at)
    {
        if (swf_count_ == 0)
            first_swf_ = at;
        if (swf_count_ < 3)
            ++swf_count_;
        last_swf_end_ = at + kDelimiterSize;
    }

    // The piece from the last boundary to `end`: its member count at ".swf"
    // is the number of occurrences, plus one for a non-empty remainder.
    void close_piece(const byte* end)
    {
        if (swf_count_ == 0 || swf_count_ > 2)
            return;
        bool remainder = last_swf_end_ != end;
        if ((swf_count_ == 1) != remainder)
            return;
        int count = rows_.row_count();
        char number[32];
        row_number_text(count, number);
        int row = rows_.insert_row(count, number);
        rows_.set_cell(row, 1, address_.build(piece_, static_cast<std::size_t>(first_swf_ - piece_)));
    }

    const byte* page_;
    ResultRows& rows_;
    const byte* piece_ = page_;
    const byte* first_swf_ = nullptr;
    const byte* last_swf_end_ = nullptr;
    int swf_count_ = 0;
    AddressBuffer address_;
};

// Tests a candidate two-byte match at `at` (which has four bytes left) and
// hands a real occurrence to the extractor.
inline void judge(Extractor& x, const byte* page, const byte* at)
{
    if (at[0] == 'h') {
        if (std::memcmp(at, kHttp, kDelimiterSize) == 0 && after_even_high_run(page, at))
            x.on_http(at);
    } else if (std::memcmp(at, kSwf, kDelimiterSize) == 0 && after_even_high_run(page, at)) {
        x.on_swf(at);
    }
}

}  // namespace

void row_number_text(int count, char* out)
{
    // "%.13g" of a whole number below 10^13 is its plain decimal digits, and
    // a count of rows is far below that; writing them directly saves the
    // floating-point formatting on pages with millions of rows.
    long long value = static_cast<long long>(count) + 1;
    if (value <= 0) {
        std::snprintf(out, 32, "%.13g", static_cast<double>(count) + 1.0);
        return;
    }
    char digits[24];
    int n = 0;
    for (; value; value /= 10)
        digits[n++] = static_cast<char>('0' + value % 10);
    for (int i = 0; i < n; ++i)
        out[i] = digits[n - 1 - i];
    out[n] = '\0';
}

void extract_modules(std::string_view page_text, ResultRows& rows)
{
    const byte* page = reinterpret_cast<const byte*>(page_text.data());
    const std::size_t n = page_text.size();
    Extractor x(page, rows);
    if (n < kDelimiterSize) {
        x.close_piece(page + n);
        return;
    }
    const byte* const last = page + (n - kDelimiterSize);  // the last place a delimiter can start
    const byte* p = page;
#if defined(__SSE2__)
    // Blocks of 16 candidate starts, each tested for "ht" or ".s" by comparing
    // the block with itself shifted by one byte.
    const __m128i h = _mm_set1_epi8('h'), t = _mm_set1_epi8('t');
    const __m128i dot = _mm_set1_epi8('.'), s = _mm_set1_epi8('s');
    while (last - p >= 16) {
        __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
        __m128i hit = _mm_or_si128(_mm_and_si128(_mm_cmpeq_epi8(b0, h), _mm_cmpeq_epi8(b1, t)),
                                   _mm_and_si128(_mm_cmpeq_epi8(b0, dot), _mm_cmpeq_epi8(b1, s)));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        while (mask) {
            judge(x, page, p + __builtin_ctz(mask));
            mask &= mask - 1;
        }
        p += 16;
    }
#endif
    for (; p <= last; ++p)
        if ((p[0] == 'h' && p[1] == 't') || (p[0] == '.' && p[1] == 's'))
            judge(x, page, p);
    x.close_piece(page + n);
}

}  // namespace qz
