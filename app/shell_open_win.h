// The shell's "open" of an address, which hands it to the default browser.
#pragma once

namespace qz {

// FindWindowExA for an "Microsoft Internet Explorer" window as the owner,
// then ShellExecuteA "open" with SW_SHOWNORMAL; the result is not examined.
void shell_open(const char* address);

}  // namespace qz
