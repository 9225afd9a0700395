// The file-name rule of saved modules.
#include "save_names.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "digest.h"
#include "gbk_text.h"

namespace qz::cli {
namespace {

constexpr std::size_t kHashDigits = 12;

bool forbidden_ascii(unsigned char c) { return c < 0x20 || c == 0x7F || std::strchr("\\:*?\"<>|%~/", c) != nullptr; }

void escape(unsigned char byte, std::string& out)
{
    char buf[4];
    std::snprintf(buf, sizeof buf, "%%%02X", byte);
    out += buf;
}

// The code point of the UTF-8 character at `at` (the encoder only makes
// valid UTF-8), and its length.
std::uint32_t code_point(std::string_view s, std::size_t at, std::size_t& length)
{
    auto b = static_cast<unsigned char>(s[at]);
    if (b < 0x80) {
        length = 1;
        return b;
    }
    length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    std::uint32_t cp = b & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length && at + i < s.size(); ++i)
        cp = cp << 6 | (static_cast<unsigned char>(s[at + i]) & 0x3Fu);
    return cp;
}

// Letters that some disk may fold to another: ASCII capitals, and anything
// outside ASCII that is not CJK or its punctuation (marking too much only
// costs a hash in the name).
bool may_fold(std::string_view segment)
{
    for (std::size_t i = 0; i < segment.size();) {
        std::size_t length;
        std::uint32_t cp = code_point(segment, i, length);
        i += length;
        if (cp == '%') {
            // An escape's hex digits are always capitals; a marker is two bytes.
            bool hex = i + 1 < segment.size() && std::isxdigit(static_cast<unsigned char>(segment[i])) &&
                       std::isxdigit(static_cast<unsigned char>(segment[i + 1]));
            i += hex ? 2 : 1;
            continue;
        }
        if (cp < 0x80) {
            if (cp >= 'A' && cp <= 'Z')
                return true;
            continue;
        }
        bool cjk = (cp >= 0x3000 && cp <= 0x9FFF) || (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFE30 && cp <= 0xFE4F) ||
                   (cp >= 0xFF01 && cp <= 0xFF20) || (cp >= 0xFF3B && cp <= 0xFF40) || (cp >= 0xFF5B && cp <= 0xFF65) ||
                   (cp >= 0x2000 && cp <= 0x206F) || (cp >= 0x2460 && cp <= 0x249B) || (cp >= 0x2500 && cp <= 0x25FF) ||
                   (cp >= 0xE000 && cp <= 0xF8FF);
        if (!cjk)
            return true;
    }
    return false;
}

bool device_name(std::string_view segment)
{
    std::string_view base = segment.substr(0, segment.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    std::string upper;
    for (char c : base)
        upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* n : kNames)
        if (upper == n)
            return true;
    return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '0' && upper[3] <= '9';
}

// One segment's bytes (GBK) in their safe UTF-8 form, before the case mark
// and length budget.
std::string encode_segment(std::string_view raw)
{
    if (raw.empty())
        return "%_";
    if (raw == "." || raw == "..")
        return raw.size() == 1 ? "%2E" : "%2E%2E";
    std::string out;
    for (std::size_t i = 0; i < raw.size();) {
        auto byte = static_cast<unsigned char>(raw[i]);
        if (byte < 0x80) {
            if (forbidden_ascii(byte))
                escape(byte, out);
            else
                out += static_cast<char>(byte);
            ++i;
        } else if (byte >= 0x81 && byte <= 0xFE && i + 1 < raw.size() &&
                   append_gbk_pair(byte, static_cast<unsigned char>(raw[i + 1]), out)) {
            i += 2;
        } else {
            escape(byte, out);
            ++i;
        }
    }
    if (out.back() == '.' || out.back() == ' ') {
        auto last = static_cast<unsigned char>(out.back());
        out.pop_back();
        escape(last, out);
    }
    if (device_name(out)) {
        auto first = static_cast<unsigned char>(out[0]);
        out.erase(0, 1);
        std::string head;
        escape(first, head);
        out = head + out;
    }
    return out;
}

std::string short_hash(std::string_view bytes) { return hex_of(sha256(bytes)).substr(0, kHashDigits); }

// The extension kept when a mark goes into a name: the last ".xxx" when
// short and plain.
std::string_view extension_of(std::string_view segment)
{
    std::size_t dot = segment.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || segment.size() - dot > 16)
        return {};
    std::string_view ext = segment.substr(dot);
    for (char c : ext.substr(1))
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return {};
    return ext;
}

// The start of `s` of at most `bytes` bytes, cut at a character boundary.
std::string_view utf8_prefix(std::string_view s, std::size_t bytes)
{
    if (s.size() <= bytes)
        return s;
    while (bytes > 0 && (static_cast<unsigned char>(s[bytes]) & 0xC0) == 0x80)
        --bytes;
    return s.substr(0, bytes);
}

std::string finish_segment(std::string encoded)
{
    bool fold = may_fold(encoded);
    if (!fold && encoded.size() <= kMaxSegmentBytes)
        return encoded;
    std::string_view ext = extension_of(encoded);
    std::string mark = "%-" + short_hash(encoded);
    std::string_view stem = std::string_view(encoded).substr(0, encoded.size() - ext.size());
    stem = utf8_prefix(stem, kMaxSegmentBytes - mark.size() - ext.size());
    std::string out = std::string(stem) + mark + std::string(ext);
    // A stem cut short could end in a dot or space: the mark follows it, so
    // the segment never ends in one.
    return out;
}

}  // namespace

std::string save_name(std::string_view address)
{
    std::vector<std::string> segments;
    std::string_view rest;
    bool path_follows = true;
    // Byte for byte, as extraction matches "http": "HTTP://" is no scheme here.
    if (address.substr(0, 7) == "http://" || address.substr(0, 8) == "https://") {
        bool secure = address[4] == 's';
        rest = address.substr(secure ? 8 : 7);
        std::size_t end = rest.find_first_of("/?#");
        std::string_view host = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
        std::string first = encode_segment(host);
        segments.push_back(finish_segment(secure ? "%!" + first : first));
        if (rest.empty()) {
            // The host alone: no path at all, unlike "HOST/" below.
            segments.emplace_back("%=");
            path_follows = false;
        } else if (rest[0] == '/') {
            rest.remove_prefix(1);
        } else {
            // A query or fragment straight after the host.
            segments.push_back("%_" + finish_segment(encode_segment(rest)));
            path_follows = false;
        }
    } else {
        segments.emplace_back("%+");
        rest = address;
    }
    // The path (query and fragment included) cut at "/"; a trailing "/"
    // gives an empty last segment, written "%_".
    std::size_t start = 0;
    while (path_follows) {
        std::size_t slash = rest.find('/', start);
        std::string_view raw = rest.substr(start, slash == std::string_view::npos ? slash : slash - start);
        segments.push_back(finish_segment(encode_segment(raw)));
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }

    std::string name;
    for (const auto& s : segments) {
        if (!name.empty())
            name += '/';
        name += s;
    }
    if (name.size() > kMaxNameBytes) {
        std::string_view ext = extension_of(segments.back());
        name = segments.front() + "/%-" + hex_of(sha256(name)).substr(0, 32) + std::string(ext);
    }
    return name;
}

bool safe_relative_name(std::string_view name)
{
    if (name.empty() || name.size() > kMaxNameBytes + kMaxSegmentBytes)
        return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t slash = name.find('/', start);
        std::string_view segment = name.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (segment.empty() || segment == "." || segment == ".." || segment.size() > 255)
            return false;
        for (char c : segment) {
            auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == 0x7F || std::strchr("\\:*?\"<>|", byte))
                return false;
        }
        if (segment.back() == '.' || segment.back() == ' ' || device_name(segment))
            return false;
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    return true;
}

}  // namespace qz::cli
