// Text and byte set: the two kinds of data the search passes around.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string_view>

namespace qz {

// Ends the program when memory for a text or buffer cannot be had. The
// message is UTF-8: "分配 %d 字节内存失败!" with the byte count. The program
// installs its fatal error report here; the default prints and exits(-1).
using FatalHandler = void (*)(const char* message);
void set_fatal_handler(FatalHandler handler);
[[noreturn]] void fatal(const char* message);
[[noreturn]] void fatal_out_of_memory(std::size_t bytes);

// malloc/realloc that never return null: they end the program instead.
void* checked_alloc(std::size_t bytes);
void* checked_realloc(void* block, std::size_t bytes);

// A zero-terminated string of bytes, owned and move-only. Default-constructed
// it is absent (no buffer), which reads as the empty text.
class Text {
public:
    Text() = default;
    explicit Text(std::string_view bytes);  // copies; a zero byte inside stays
    Text(Text&& other) noexcept : data_(other.data_), size_(other.size_)
    {
        other.data_ = nullptr;
        other.size_ = 0;
    }
    Text& operator=(Text&& other) noexcept;
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    ~Text() { reset(); }

    bool absent() const { return data_ == nullptr; }
    const char* c_str() const { return data_ ? data_ : ""; }
    std::size_t size() const { return size_; }
    std::string_view view() const { return {c_str(), size_}; }
    void reset();

    // Takes a buffer of at least size + 1 bytes whose byte [size] is zero.
    static Text adopt(char* buffer, std::size_t size);

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
};

// The parts joined in order into one new text; an empty part adds nothing.
Text text_concat(std::initializer_list<std::string_view> parts);

// A counted buffer of bytes, doubled as it fills so that appending chunk
// after chunk copies each byte O(1) times (Windows' heap copies on every
// reallocation of a large block, so fewer and larger steps pay).
class ByteSet {
public:
    ByteSet() = default;
    ByteSet(ByteSet&& other) noexcept;
    ByteSet& operator=(ByteSet&& other) noexcept;
    ByteSet(const ByteSet&) = delete;
    ByteSet& operator=(const ByteSet&) = delete;
    ~ByteSet();

    const unsigned char* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    void append(const void* bytes, std::size_t count);
    // Makes room for `count` bytes in all if memory allows; false changes
    // nothing. A hint only: append() still grows on its own.
    bool try_reserve(std::size_t count);
    std::string_view view() const { return {reinterpret_cast<const char*>(data_), size_}; }

    friend Text text_of(ByteSet&& bytes);

private:
    unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// The bytes up to the first zero byte, or all of them; no conversion. Takes
// over the byte set's buffer instead of copying a page of many megabytes.
Text text_of(ByteSet&& bytes);

}  // namespace qz
