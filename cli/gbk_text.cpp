// GBK to UTF-8 through iconv, one character at a time so that a bad byte
// costs only itself.
#include <iconv.h>

#include <cstdio>

#include "gbk_text.h"
#include "owned.h"

namespace qz::cli {
namespace {

void close_iconv(iconv_t cd) { iconv_close(cd); }

// iconv_open's failure value is (iconv_t)-1, not null: keep null for "none".
iconv_t open_gbk()
{
    iconv_t cd = iconv_open("UTF-8", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1))
        cd = iconv_open("UTF-8", "GBK");
    return cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd;
}

void escape(unsigned char byte, std::string& out)
{
    char buf[4];
    std::snprintf(buf, sizeof buf, "%%%02X", byte);
    out += buf;
}

}  // namespace

std::string utf8_from_gbk(std::string_view gbk)
{
    static const Owned<iconv_t, close_iconv> cd(open_gbk());
    std::string out;
    out.reserve(gbk.size());
    for (std::size_t i = 0; i < gbk.size();) {
        auto byte = static_cast<unsigned char>(gbk[i]);
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        bool done = false;
        if (cd && i + 1 < gbk.size()) {
            char pair[2] = {gbk[i], gbk[i + 1]};
            char utf8[8];
            char* in = pair;
            std::size_t in_left = 2;
            char* to = utf8;
            std::size_t to_left = sizeof utf8;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd.get(), &in, &in_left, &to, &to_left) != static_cast<std::size_t>(-1) && in_left == 0) {
                out.append(utf8, static_cast<std::size_t>(to - utf8));
                i += 2;
                done = true;
            }
        }
        if (!done) {
            escape(byte, out);
            ++i;
        }
    }
    return out;
}

}  // namespace qz::cli
