// The service's code page (GBK) and the UTF-8 the Linux edition shows.
#pragma once

#include <string>
#include <string_view>

namespace qz {

// Typed account text (UTF-8) as the GBK bytes the service reads; a character
// GBK lacks (or an invalid UTF-8 byte) goes out as %XX of its UTF-8 bytes.
std::string account_bytes_from_utf8(std::string_view utf8);

// Row bytes (GBK) shown as UTF-8; a byte that does not decode is shown as
// \xHH and never dropped.
std::string display_text_from_gbk(std::string_view gbk);

// Row bytes (GBK) as UTF-8 clipboard text; bytes that are not valid GBK
// are written as %XX.
std::string clipboard_text_from_gbk(std::string_view gbk);

}  // namespace qz
