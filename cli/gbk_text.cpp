// GBK to UTF-8 one character at a time, so that a bad byte costs only itself.
#include "gbk_text.h"

#include <cstdio>

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
        } else if (byte >= 0x81 && byte <= 0xFE && i + 1 < gbk.size() &&
                   append_gbk_pair(byte, static_cast<unsigned char>(gbk[i + 1]), out)) {
            i += 2;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            out += escaped;
            ++i;
        }
    }
    return out;
}

}  // namespace qz::cli
