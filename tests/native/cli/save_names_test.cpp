// The file-name rule: hostile addresses, and the promise that no name leaves
// the output folder or is shared by two addresses, even on a disk that
// ignores case.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <random>
#include <string>

#include "save_names.h"

namespace {

using qz::cli::save_name;

// Whether `name` is `head`, anything without "/", "%-", `digits` lower-case
// hex digits, then `tail`.
bool marked(const std::string& name, const std::string& head, std::size_t digits, const std::string& tail)
{
    if (name.size() < head.size() + 2 + digits + tail.size() || name.compare(0, head.size(), head) != 0 ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    std::size_t mark = name.size() - tail.size() - digits - 2;
    if (name.compare(mark, 2, "%-") != 0 || name.find('/', head.size()) < mark)
        return false;
    for (std::size_t i = mark + 2; i < mark + 2 + digits; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i])) || (name[i] >= 'A' && name[i] <= 'F'))
            return false;
    return true;
}

TEST(SaveNames, PlainAndHostileAddresses)
{
    struct Case {
        const char* name;
        std::string address;
        const char* expected;
    } cases[] = {
        {"ordinary", "http://qzflash.example/flash/one.swf", "qzflash.example/flash/one.swf"},
        {"query kept", "http://h/a.swf?v=1&w=2", "h/a.swf%3Fv=1&w=2"},
        {"query with a slash", "http://h/load?f=d/x.swf", "h/load%3Ff=d/x.swf"},
        {"fragment", "http://h/a.swf#x", "h/a.swf#x"},
        {"dot-dot segments", "http://h/../../etc/x.swf", "h/%2E%2E/%2E%2E/etc/x.swf"},
        {"dot segment", "http://h/./x.swf", "h/%2E/x.swf"},
        {"dot-dot as the host", "http://../x.swf", "%2E%2E/x.swf"},
        {"percent-escaped dot-dot", "http://h/%2e%2e/x.swf", "h/%252e%252e/x.swf"},
        {"escaped slash", "http://h/a%2fb.swf", "h/a%252fb.swf"},
        {"empty host", "http:///etc/passwd.swf", "%_/etc/passwd.swf"},
        {"empty segment", "http://h//x.swf", "h/%_/x.swf"},
        {"trailing slash", "http://h/dir/", "h/dir/%_"},
        {"host only", "http://h", "h/%="},
        {"host and slash", "http://h/", "h/%_"},
        {"query right after the host", "http://h?x.swf", "h/%_%3Fx.swf"},
        {"device name", "http://h/con.swf", "h/%63on.swf"},
        {"device name, no extension", "http://h/nul", "h/%6Eul"},
        {"device name, two extensions", "http://h/com1.a.b", "h/%63om1.a.b"},
        {"device name with spaces", "http://h/aux .swf", "h/%61ux .swf"},
        {"device name as a folder", "http://h/lpt9/x.swf", "h/%6Cpt9/x.swf"},
        {"not a device name", "http://h/com10.swf", "h/com10.swf"},
        {"longer than a device name", "http://h/console.swf", "h/console.swf"},
        {"Windows' forbidden", "http://h/a:b*c?d\"e<f>g|h\\i.swf", "h/a%3Ab%2Ac%3Fd%22e%3Cf%3Eg%7Ch%5Ci.swf"},
        {"control bytes", "http://h/a\x01\tb\x7f.swf", "h/a%01%09b%7F.swf"},
        {"trailing dot", "http://h/x.", "h/x%2E"},
        {"trailing space", "http://h/x ", "h/x%20"},
        {"tilde (short names)", "http://h/progra~1.swf", "h/progra%7E1.swf"},
        {"percent", "http://h/100%.swf", "h/100%25.swf"},
        {"port", "http://h:8080/x.swf", "h%3A8080/x.swf"},
        {"user and password", "http://u:p@h/x.swf", "u%3Ap@h/x.swf"},
        {"GBK", "http://h/\xc4\xa3\xbf\xe9.swf", "h/\xe6\xa8\xa1\xe5\x9d\x97.swf"},
        {"GBK with a backslash byte", "http://h/\x95\x5c.swf", "h/\xe6\x98\x9e.swf"},
        {"bytes that are not GBK", "http://h/\xff\x80z.swf", "h/%FF%80z.swf"},
        {"lead byte at the end", "http://h/a\xc4", "h/a%C4"},
        {"https", "https://h/x.swf", "%!h/x.swf"},
        {"no scheme", "http.swf", "%+/http.swf"},
        {"no scheme, a path", "httpfoo/bar.swf", "%+/httpfoo/bar.swf"},
        {"only http", "http", "%+/http"},
        {"empty", "", "%+/%_"},
        {"scheme in capitals is no scheme", "HTTP://h/x.swf", "%+/HTTP%3A/%_/h/x.swf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string name = save_name(c.address);
        if (std::string(c.name) == "scheme in capitals is no scheme") {
            // Capitals earn a hash; only the shape is fixed.
            EXPECT_TRUE(marked(name, "%+/", 12, "/%_/h/x.swf")) << name;
            EXPECT_EQ(name.substr(0, 10), "%+/HTTP%3A");
        } else {
            EXPECT_EQ(name, c.expected);
        }
        EXPECT_TRUE(qz::cli::safe_relative_name(name)) << name;
    }
}

TEST(SaveNames, CapitalsAndLengthEarnAHash)
{
    struct Case {
        const char* name;
        std::string address;
    } cases[] = {
        {"capital", "http://h/A.swf"},
        {"device name in capitals", "http://h/CON.swf"},
        {"fullwidth letter", "http://h/\xa3\xc1.swf"},
        {"long segment", "http://h/" + std::string(300, 'a') + ".swf"},
        {"long GBK segment", "http://h/" + std::string(400, '\xc4') + ".swf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string name = save_name(c.address);
        EXPECT_TRUE(marked(name, "h/", 12, ".swf")) << name;
        EXPECT_TRUE(qz::cli::safe_relative_name(name)) << name;
        EXPECT_LE(name.size() - 2, qz::cli::kMaxSegmentBytes);
    }
    std::string deep = "http://h";
    for (int i = 0; i < 60; ++i)
        deep += "/" + std::string(40, 'd');
    std::string name = save_name(deep + "/x.swf");
    EXPECT_LE(name.size(), qz::cli::kMaxNameBytes);
    EXPECT_TRUE(marked(name, "h/", 32, ".swf") && name.size() == 2 + 2 + 32 + 4) << name;
}

// What a case-insensitive disk compares: ASCII and fullwidth letters folded.
std::string folded(const std::string& name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        // U+FF21..FF3A (EF BC A1..BA) fold to U+FF41..FF5A (EF BD 81..9A).
        if (c == '\xef' && i + 2 < name.size() && name[i + 1] == '\xbc' &&
            static_cast<unsigned char>(name[i + 2]) >= 0xA1 && static_cast<unsigned char>(name[i + 2]) <= 0xBA) {
            out += "\xef\xbd";
            out += static_cast<char>(static_cast<unsigned char>(name[i + 2]) - 0xA1 + 0x81);
            i += 2;
            continue;
        }
        out += c;
    }
    return out;
}

bool valid_utf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i]);
        std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

// Addresses made of hostile pieces: every name is safe, and no two
// addresses share a name, even folded.
TEST(SaveNames, NoNameEscapesOrCollides)
{
    const std::string pieces[] = {"http://",
                                  "https://",
                                  "/",
                                  "//",
                                  "..",
                                  ".",
                                  "%2e",
                                  "%",
                                  "%25",
                                  "CON",
                                  "con",
                                  "nul.",
                                  "a",
                                  "A",
                                  "b",
                                  "\\",
                                  ":",
                                  "?",
                                  "#",
                                  " ",
                                  "\x01",
                                  "\xc4\xa3",
                                  "\x95\x5c",
                                  "\xff",
                                  "\x80",
                                  "\xa3\xc1",
                                  "\xa3\xe1",
                                  "~1",
                                  "com1",
                                  ".swf",
                                  "%_",
                                  "%-",
                                  std::string(120, 'x'),
                                  std::string(120, 'X')};
    std::mt19937 random(20261211);
    std::map<std::string, std::string> seen;  // folded name -> address
    for (int n = 0; n < 30000; ++n) {
        std::string address = n % 3 ? "http://" : "";
        int count = 1 + static_cast<int>(random() % 12);
        for (int k = 0; k < count; ++k)
            address += pieces[random() % std::size(pieces)];
        std::string name = save_name(address);
        ASSERT_TRUE(qz::cli::safe_relative_name(name)) << address << " -> " << name;
        ASSERT_TRUE(valid_utf8(name)) << name;
        ASSERT_LE(name.size(), qz::cli::kMaxNameBytes + qz::cli::kMaxSegmentBytes);
        auto [at, fresh] = seen.emplace(folded(name), address);
        ASSERT_TRUE(fresh || at->second == address) << "'" << address << "' and '" << at->second << "' -> " << name;
    }
}

}  // namespace
