// What the copy action needs of the platform besides the window's controls
// (app/controls.h): the clipboard and the message boxes. No <windows.h> here;
// actions/win32_clipboard.h and actions/win32_notices.h are the Win32 side.
#pragma once

#include <string_view>

namespace qz {

enum class CopyOutcome {
    copied,          // the clipboard holds the text now
    clipboard_busy,  // another program holds the clipboard; it keeps its content
    no_memory,       // no memory for the text; the clipboard keeps its content
    rejected,        // opened and emptied, but the text was refused
};

// The system clipboard.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's content with `text` as plain 8-bit text (no
    // code page conversion), or leaves the content as it was on failure.
    virtual CopyOutcome put_text(std::string_view text) = 0;
};

enum class Notice {
    copied,       // "复制成功!", information icon
    copy_failed,  // "复制失败!", warning icon
};

// The message boxes of the copy action.
class Notices {
public:
    virtual ~Notices() = default;
    // Shows the box and returns when the user has dismissed it.
    virtual void show(Notice notice) = 0;
};

}  // namespace qz
