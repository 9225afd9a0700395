// Two-byte GBK characters to UTF-8 through code page 936.
#include <windows.h>

#include "gbk_text.h"

namespace qz::cli {

bool append_gbk_pair(unsigned char lead, unsigned char trail, std::string& out)
{
    if (trail < 0x40 || trail == 0x7F || trail == 0xFF)
        return false;
    char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    wchar_t wide[2];
    if (MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, pair, 2, wide, 2) != 1)
        return false;
    char utf8[8];
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, 1, utf8, sizeof utf8, nullptr, nullptr);
    if (n <= 0)
        return false;
    out.append(utf8, static_cast<std::size_t>(n));
    return true;
}

}  // namespace qz::cli
