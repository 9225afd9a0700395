// The clipboard over Win32: CF_TEXT prepared first, so a failure loses nothing.
#pragma once

#include <windows.h>

#include <string_view>

#include "action_ports.h"
#include "owned.h"

namespace qz {

inline void free_global(HGLOBAL memory) { GlobalFree(memory); }
// Owns one HGLOBAL until someone takes it with release().
using GlobalMemory = Owned<HGLOBAL, free_global>;

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
