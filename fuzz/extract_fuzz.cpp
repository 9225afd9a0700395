// Extraction on arbitrary bytes must agree with the plain rule and stay in bounds.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "extract.h"
#include "reference_extract.h"

namespace {

class Rows final : public qz::ResultRows {
public:
    std::vector<ReferenceRow> rows;
    int row_count() override { return static_cast<int>(rows.size()); }
    int insert_row(int index, const char* text) override
    {
        rows.push_back({text, ""});
        return index;
    }
    void set_cell(int row, int, const char* text) override { rows[static_cast<std::size_t>(row)].address = text; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The page text ends at the first zero byte; copy it into a buffer of its
    // exact size so that any read past the end is caught.
    const void* zero = std::memchr(data, 0, size);
    size_t length = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - data) : size;
    std::vector<char> page(data, data + length);
    std::string_view text(page.data(), page.size());
    Rows fast;
    qz::extract_modules(text, fast);
    if (fast.rows != reference_rows(text))
        std::abort();
    return 0;
}
