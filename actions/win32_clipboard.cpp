// The clipboard over Win32: CF_TEXT prepared first, so a failure loses nothing.
#include "win32_clipboard.h"

#include <cstring>

namespace qz {

GlobalMemory clipboard_text_memory(std::string_view text)
{
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1));
    if (!memory)
        return memory;
    void* bytes = GlobalLock(memory.get());
    if (!bytes)
        return GlobalMemory();
    std::memcpy(bytes, text.data(), text.size());  // the terminator is already zero
    GlobalUnlock(memory.get());
    return memory;
}

CopyOutcome give_to_clipboard(GlobalMemory memory)
{
    if (!memory)
        return CopyOutcome::no_memory;
    const OpenedClipboard clipboard;
    if (!clipboard)
        return CopyOutcome::clipboard_busy;
    EmptyClipboard();
    if (!SetClipboardData(CF_TEXT, memory.get()))
        return CopyOutcome::rejected;  // `memory` is still ours and is freed
    memory.release();                  // the clipboard owns it now
    return CopyOutcome::copied;
}

CopyOutcome Win32Clipboard::put_text(std::string_view text) { return give_to_clipboard(clipboard_text_memory(text)); }

}  // namespace qz
