// Opening the publisher's home page through the shell, unchecked by design.
#include "shell_open_win.h"

#include <windows.h>
#include <shellapi.h>

namespace qz {

void shell_open(const char* address)
{
    HWND owner = FindWindowExA(nullptr, nullptr, nullptr, "Microsoft Internet Explorer");
    ShellExecuteA(owner, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace qz
