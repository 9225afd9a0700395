// Module addresses are GBK bytes; file names and JSON want UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace qz::cli {

// Appends the UTF-8 form of the two-byte GBK character lead, trail (lead
// 0x81..0xFE) and returns true, or returns false when it is not one.
// Platform's side: iconv, or code page 936 on Windows.
bool append_gbk_pair(unsigned char lead, unsigned char trail, std::string& out);

// `gbk` as UTF-8: ASCII as it is, each valid two-byte GBK character as its
// UTF-8 form, and every byte that does not decode as "%XX" (upper-case hex),
// so nothing is lost and the result is always valid UTF-8. A literal "%"
// stays "%": the form is for showing, not for decoding back.
std::string utf8_from_gbk(std::string_view gbk);

}  // namespace qz::cli
