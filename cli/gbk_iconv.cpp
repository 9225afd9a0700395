// Two-byte GBK characters to UTF-8 through iconv.
#include <iconv.h>

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

}  // namespace

bool append_gbk_pair(unsigned char lead, unsigned char trail, std::string& out)
{
    static const Owned<iconv_t, close_iconv> cd(open_gbk());
    if (!cd || trail < 0x40 || trail == 0x7F || trail == 0xFF)
        return false;
    char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    char utf8[8];
    char* in = pair;
    std::size_t in_left = 2;
    char* to = utf8;
    std::size_t to_left = sizeof utf8;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd.get(), &in, &in_left, &to, &to_left) == static_cast<std::size_t>(-1) || in_left != 0)
        return false;
    out.append(utf8, static_cast<std::size_t>(to - utf8));
    return true;
}

}  // namespace qz::cli
