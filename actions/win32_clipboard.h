// The clipboard over Win32: CF_TEXT prepared first, so a failure loses nothing.
#pragma once

#include <windows.h>

#include <string_view>
#include <utility>

#include "action_ports.h"

namespace qz {

// Owns one HGLOBAL until someone takes it with release(); move-only.
class GlobalMemory {
public:
    GlobalMemory() = default;
    explicit GlobalMemory(HGLOBAL memory) : memory_(memory) {}
    GlobalMemory(GlobalMemory&& other) noexcept : memory_(other.release()) {}
    GlobalMemory& operator=(GlobalMemory&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    GlobalMemory(const GlobalMemory&) = delete;
    GlobalMemory& operator=(const GlobalMemory&) = delete;
    ~GlobalMemory() { reset(); }

    HGLOBAL get() const { return memory_; }
    explicit operator bool() const { return memory_ != nullptr; }
    HGLOBAL release() { return std::exchange(memory_, nullptr); }
    void reset(HGLOBAL memory = nullptr)
    {
        if (memory_)
            GlobalFree(memory_);
        memory_ = memory;
    }

private:
    HGLOBAL memory_ = nullptr;
};

// The clipboard opened by this thread with no owner window; closes it.
class OpenedClipboard {
public:
    OpenedClipboard() : open_(OpenClipboard(nullptr) != FALSE) {}
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard()
    {
        if (open_)
            CloseClipboard();
    }
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

// Moveable, zeroed memory of length + 1 bytes holding `text` and a zero, or
// nothing when it cannot be had.
GlobalMemory clipboard_text_memory(std::string_view text);

// Opens the clipboard, empties it and hands it `memory` as CF_TEXT. An empty
// `memory` (the allocation failed) leaves the clipboard unopened and as it was.
CopyOutcome give_to_clipboard(GlobalMemory memory);

class Win32Clipboard final : public Clipboard {
public:
    CopyOutcome put_text(std::string_view text) override;
};

}  // namespace qz
