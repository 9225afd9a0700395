// GBK <-> UTF-8 through glibc's iconv, with every byte it cannot take kept
// visible instead of dropped.
#include "gbk.h"

#include <cerrno>
#include <iconv.h>

#include <cstddef>

#include "owned.h"

namespace qz {
namespace {

// Windows' code page 936. glibc's CP936 is its GBK table, which follows
// Microsoft's mapping (0x80 is the euro sign, A1A4 the middle dot, A1AA the
// em dash) rather than GB18030, whose four-byte forms and extra two-byte
// characters Windows' code page does not have.
constexpr char kServiceCharset[] = "CP936";

void close_converter(iconv_t converter) { iconv_close(converter); }
using Converter = Owned<iconv_t, close_converter>;

// A converter, or an empty one when iconv does not have the pair (a libc
// without its gconv modules); then every non-ASCII byte counts as one that
// does not convert.
Converter open_converter(const char* to, const char* from)
{
    iconv_t converter = iconv_open(to, from);
    return converter == reinterpret_cast<iconv_t>(-1) ? Converter() : Converter(converter);
}

constexpr char kHex[] = "0123456789ABCDEF";

void append_escaped(std::string& out, unsigned char byte, char mark)
{
    if (mark == '\\')
        out += "\\x";
    else
        out += mark;
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
}

// The length of the well-formed UTF-8 character at the start of `bytes`
// (shortest form, no surrogates, at most U+10FFFF), or 0.
std::size_t utf8_character_length(std::string_view bytes)
{
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    auto continuation = [&](std::size_t i) { return i < bytes.size() && (at(i) & 0xC0) == 0x80; };
    unsigned char lead = at(0);
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return continuation(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (!continuation(1) || !continuation(2))
            return 0;
        if ((lead == 0xE0 && at(1) < 0xA0) || (lead == 0xED && at(1) >= 0xA0))
            return 0;  // overlong, or a surrogate
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (!continuation(1) || !continuation(2) || !continuation(3))
            return 0;
        if ((lead == 0xF0 && at(1) < 0x90) || (lead == 0xF4 && at(1) >= 0x90))
            return 0;  // overlong, or past U+10FFFF
        return 4;
    }
    return 0;
}

// Converts `in` with `converter`, appending to `out`. Whenever iconv stops at
// input it cannot take, `on_stuck` appends what stands for the bytes there
// and says how many it stood for (at least one).
template <typename OnStuck>
void convert(iconv_t converter, std::string_view in, std::string& out, OnStuck on_stuck)
{
    char room[1024];
    char* next = const_cast<char*>(in.data());  // iconv's signature; it only reads
    std::size_t left = in.size();
    while (left > 0) {
        char* to = room;
        std::size_t to_left = sizeof room;
        std::size_t result = iconv(converter, &next, &left, &to, &to_left);
        int error = errno;
        out.append(room, static_cast<std::size_t>(to - room));
        if (result != static_cast<std::size_t>(-1) || error == E2BIG)
            continue;
        // EILSEQ or EINVAL (cut short at the end): the bytes at `next` go
        // out escaped and the conversion starts afresh after them.
        std::size_t used = on_stuck(std::string_view(next, left));
        next += used;
        left -= used;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
}

// Row bytes to UTF-8 with each byte that does not decode written as
// `mark` HH. ASCII is copied as it stands.
std::string from_gbk(std::string_view gbk, char mark)
{
    std::string out;
    out.reserve(gbk.size() + gbk.size() / 2);
    Converter converter = open_converter("UTF-8", kServiceCharset);
    auto stuck = [&](std::string_view rest) {
        append_escaped(out, static_cast<unsigned char>(rest[0]), mark);
        return std::size_t{1};
    };
    if (converter) {
        convert(converter.get(), gbk, out, stuck);
        return out;
    }
    for (std::size_t i = 0; i < gbk.size(); ++i) {
        if (static_cast<unsigned char>(gbk[i]) < 0x80)
            out += gbk[i];
        else
            stuck(gbk.substr(i));
    }
    return out;
}

}  // namespace

std::string account_bytes_from_utf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    // A whole character GBK lacks goes out as the %XX of all its bytes, so
    // the service sees the character as UTF-8; a byte that starts no
    // character goes out alone.
    auto stuck = [&](std::string_view rest) {
        std::size_t length = utf8_character_length(rest);
        if (length == 0)
            length = 1;
        for (std::size_t i = 0; i < length; ++i)
            append_escaped(out, static_cast<unsigned char>(rest[i]), '%');
        return length;
    };
    Converter converter = open_converter(kServiceCharset, "UTF-8");
    if (converter) {
        convert(converter.get(), utf8, out, stuck);
        return out;
    }
    for (std::size_t i = 0; i < utf8.size();) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80)
            out += utf8[i++];
        else
            i += stuck(utf8.substr(i));
    }
    return out;
}

// A backslash in the row stays a backslash: the text is only shown, never
// read back, so "\x41" on screen may be a row's own four characters; the row
// keeps its original bytes for copying and preview.
std::string display_text_from_gbk(std::string_view gbk) { return from_gbk(gbk, '\\'); }

// Only bytes that do not decode are escaped; a row's own "%" stays, as the
// address it is part of already carries its escapes.
std::string clipboard_text_from_gbk(std::string_view gbk) { return from_gbk(gbk, '%'); }

}  // namespace qz
