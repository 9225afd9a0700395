// Opening an address with the desktop's default web browser.
#pragma once

#include <string>
#include <string_view>

namespace qz {

// The address as the opener takes it: a bare host name gets "http://" in
// front and "/" behind, as the Windows shell reads one; an address with a
// scheme stays as it is.
std::string opener_uri(std::string_view address);

// Asks GIO's default handler for the address's scheme to open it, and
// xdg-open when GIO knows none. Neither waits for the browser, and a failure
// goes unnoticed.
void shell_open(const char* address);

}  // namespace qz
