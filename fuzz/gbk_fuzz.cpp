// The GBK conversions lose and invent nothing: for row bytes without the
// escape's own mark, the shown or copied text leads back to exactly those
// bytes (escapes read back, every other run encoded to GBK again), and it is
// always well-formed UTF-8.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "gbk.h"

namespace {

bool well_formed_utf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80                 ? 1
                        : c >= 0xC2 && c <= 0xDF ? 2
                        : c >= 0xE0 && c <= 0xEF ? 3
                        : c >= 0xF0 && c <= 0xF4 ? 4
                                                 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        unsigned char c1 = n > 1 ? static_cast<unsigned char>(s[i + 1]) : 0;
        if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) || (c == 0xF0 && c1 < 0x90) ||
            (c == 0xF4 && c1 >= 0x90))
            return false;
        i += n;
    }
    return true;
}

int hex(char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; }

// The bytes a text stands for, its escapes `mark` HH read back.
std::string bytes_behind(std::string_view text, std::string_view mark)
{
    std::string out, run;
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, mark.size()) == mark) {
            if (i + mark.size() + 2 > text.size())
                std::abort();
            int high = hex(text[i + mark.size()]), low = hex(text[i + mark.size() + 1]);
            if (high < 0 || low < 0)
                std::abort();
            out += qz::account_bytes_from_utf8(run);
            run.clear();
            out += static_cast<char>(high << 4 | low);
            i += mark.size() + 2;
        } else {
            run += text[i++];
        }
    }
    return out + qz::account_bytes_from_utf8(run);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string shown = qz::display_text_from_gbk(bytes);
    std::string copied = qz::clipboard_text_from_gbk(bytes);
    if (!well_formed_utf8(shown) || !well_formed_utf8(copied))
        std::abort();
    if (bytes.find('\\') == std::string_view::npos && bytes_behind(shown, "\\x") != bytes)
        std::abort();
    if (bytes.find('%') == std::string_view::npos && bytes_behind(copied, "%") != bytes)
        std::abort();
    std::string sent = qz::account_bytes_from_utf8(bytes);
    if (sent.size() < bytes.size() / 2)
        std::abort();  // at most two UTF-8 bytes make one GBK character
    return 0;
}
