// GBK to UTF-8 through code page 936, one character at a time so that a bad
// byte costs only itself.
#include <windows.h>

#include <cstdio>

#include "gbk_text.h"

namespace qz::cli {

std::string utf8_from_gbk(std::string_view gbk)
{
    std::string out;
    out.reserve(gbk.size());
    for (std::size_t i = 0; i < gbk.size();) {
        auto byte = static_cast<unsigned char>(gbk[i]);
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        int taken = 0;
        wchar_t wide[2];
        // 0x80 is one character (the euro sign) in code page 936; others lead pairs.
        for (int size : {2, 1}) {
            if (i + static_cast<std::size_t>(size) > gbk.size())
                continue;
            int n = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, gbk.data() + i, size, wide, 2);
            if (n == 1) {
                char utf8[8];
                int m = WideCharToMultiByte(CP_UTF8, 0, wide, 1, utf8, sizeof utf8, nullptr, nullptr);
                if (m > 0) {
                    out.append(utf8, static_cast<std::size_t>(m));
                    taken = size;
                    break;
                }
            }
        }
        if (taken == 0) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", byte);
            out += buf;
            taken = 1;
        }
        i += static_cast<std::size_t>(taken);
    }
    return out;
}

}  // namespace qz::cli
