// Text, byte set and the allocation rule shared by the whole program.
#include "text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace qz {
namespace {

// A body of many megabytes is written once into fresh memory; on Linux,
// where faulting in 4 KiB pages one by one costs several times the copy
// itself (above all in a virtual machine), large blocks ask for huge pages
// before they are touched. The huge page that holds the end of what is
// written already has small pages and cannot become one; its rest is made
// present in one call instead of a fault per page (at most 2 MiB beyond the
// bytes). Only hints: refused or not, nothing changes.
void advise_large_block([[maybe_unused]] void* block, [[maybe_unused]] std::size_t used,
                        [[maybe_unused]] std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
    if (!block || bytes < kHugePage)
        return;
    static const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t end = begin + bytes;
    const std::uintptr_t start = begin & ~(page - 1);
    madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    if (used == 0)
        return;
    const std::uintptr_t written = (begin + used) & ~(page - 1);
    std::uintptr_t boundary = (begin + used + kHugePage - 1) & ~(kHugePage - 1);
    if (boundary > end)
        boundary = end & ~(page - 1);
    if (boundary > written)
        madvise(reinterpret_cast<void*>(written), boundary - written, MADV_POPULATE_WRITE);
#endif
#endif
}

void default_fatal(const char* message)
{
    std::fprintf(stderr, "fatal: %s\n", message);
    std::exit(-1);
}

FatalHandler g_fatal = default_fatal;

}  // namespace

void set_fatal_handler(FatalHandler handler) { g_fatal = handler ? handler : default_fatal; }

void fatal(const char* message)
{
    g_fatal(message);
    std::abort();  // a handler must not return
}

void fatal_out_of_memory(std::size_t bytes)
{
    char message[64];
    // The whole count, also past the range of an int.
    std::snprintf(message, sizeof message, "分配 %llu 字节内存失败!", static_cast<unsigned long long>(bytes));
    fatal(message);
}

void* checked_alloc(std::size_t bytes)
{
    void* block = std::malloc(bytes ? bytes : 1);
    if (!block)
        fatal_out_of_memory(bytes);
    return block;
}

void* checked_realloc(void* block, std::size_t bytes)
{
    void* grown = std::realloc(block, bytes ? bytes : 1);
    if (!grown)
        fatal_out_of_memory(bytes);
    return grown;
}

Text::Text(std::string_view bytes)
{
    data_ = static_cast<char*>(checked_alloc(bytes.size() + 1));
    if (!bytes.empty())
        std::memcpy(data_, bytes.data(), bytes.size());
    data_[bytes.size()] = '\0';
    size_ = bytes.size();
}

Text& Text::operator=(Text&& other) noexcept
{
    if (this != &other) {
        reset();
        data_ = other.data_;
        size_ = other.size_;
        other.data_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

void Text::reset()
{
    std::free(data_);
    data_ = nullptr;
    size_ = 0;
}

Text Text::adopt(char* buffer, std::size_t size)
{
    Text text;
    text.data_ = buffer;
    text.size_ = size;
    return text;
}

Text text_concat(std::initializer_list<std::string_view> parts)
{
    std::size_t total = 0;
    for (std::string_view part : parts)
        total += part.size();
    char* buffer = static_cast<char*>(checked_alloc(total + 1));
    char* out = buffer;
    for (std::string_view part : parts) {
        if (!part.empty())
            std::memcpy(out, part.data(), part.size());
        out += part.size();
    }
    *out = '\0';
    return Text::adopt(buffer, total);
}

ByteSet::ByteSet(ByteSet&& other) noexcept : data_(other.data_), size_(other.size_), capacity_(other.capacity_)
{
    other.data_ = nullptr;
    other.size_ = other.capacity_ = 0;
}

ByteSet& ByteSet::operator=(ByteSet&& other) noexcept
{
    if (this != &other) {
        std::free(data_);
        data_ = other.data_;
        size_ = other.size_;
        capacity_ = other.capacity_;
        other.data_ = nullptr;
        other.size_ = other.capacity_ = 0;
    }
    return *this;
}

ByteSet::~ByteSet() { std::free(data_); }

void ByteSet::append(const void* bytes, std::size_t count)
{
    if (count == 0)
        return;
    // One spare byte always, so that text_of can terminate in place.
    if (capacity_ - size_ < count + 1) {
        std::size_t wanted = size_ + count + 1;
        std::size_t grown = 2 * capacity_;
        std::size_t capacity = grown > wanted ? grown : wanted;
        data_ = static_cast<unsigned char*>(checked_realloc(data_, capacity));
        capacity_ = capacity;
        advise_large_block(data_, size_, capacity_);
    }
    std::memcpy(data_ + size_, bytes, count);
    size_ += count;
}

bool ByteSet::try_reserve(std::size_t count)
{
    if (count + 1 <= capacity_)
        return true;
    void* grown = std::realloc(data_, count + 1);
    if (!grown)
        return false;
    data_ = static_cast<unsigned char*>(grown);
    capacity_ = count + 1;
    advise_large_block(data_, size_, capacity_);
    return true;
}

Text text_of(ByteSet&& bytes)
{
    if (bytes.size_ == 0)
        return Text(std::string_view());
    const void* zero = std::memchr(bytes.data_, 0, bytes.size_);
    std::size_t length =
        zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - bytes.data_) : bytes.size_;
    char* buffer = reinterpret_cast<char*>(bytes.data_);
    buffer[length] = '\0';                 // append() kept a spare byte past the end
    if (length + 1 < bytes.capacity_ / 2)  // an early zero byte: give the rest back
        buffer = static_cast<char*>(checked_realloc(buffer, length + 1));
    bytes.data_ = nullptr;
    bytes.size_ = bytes.capacity_ = 0;
    return Text::adopt(buffer, length);
}

}  // namespace qz
