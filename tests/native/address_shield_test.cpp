// The %XX shield around the transports' URL parsers.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "address_shield.h"

namespace {

using namespace std::string_literals;

TEST(AddressShield, Shielded)
{
    struct Case {
        std::string address;
        std::string ascii;
    };
    const Case cases[] = {
        {"", ""},
        {"http://host/path?uin=1&x=~", "http://host/path?uin=1&x=~"},
        {"100%", "100%25"},
        {"%41", "%2541"},
        {"a b", "a%20b"},
        {"\t\n\r\x01\x1F", "%09%0A%0D%01%1F"},
        {"\x7F", "%7F"},
        {"\x80\xFF", "%80%FF"},
        {"\xC4\xE3\xBA\xC3", "%C4%E3%BA%C3"},  // GBK, as a typed account may hold
        {"!\x21~", "!!~"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(qz::shielded(c.address.c_str()), c.ascii);
    }
}

TEST(AddressShield, Restored)
{
    struct Case {
        std::string part;
        std::string plain;
    };
    const Case cases[] = {
        {"", ""},
        {"/path?uin=1", "/path?uin=1"},
        {"%41%42", "AB"},
        {"%4a%4A", "JJ"},
        {"%2541", "%41"},  // one pass only
        {"%00x", "\0x"s},
        {"%C4%E3", "\xC4\xE3"},
        {"%", "%"},
        {"%4", "%4"},
        {"a%4", "a%4"},
        {"%41", "A"},  // ends right at the string's end
        {"%G1%1G%%41", "%G1%1G%A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.part);
        EXPECT_EQ(qz::restored(c.part), c.plain);
    }
}

TEST(AddressShield, RoundTripsEveryByte)
{
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += static_cast<char>(byte);
    std::string ascii = qz::shielded(all.c_str());
    for (char c : ascii)
        EXPECT_TRUE(c > 0x20 && c < 0x7F) << static_cast<int>(static_cast<unsigned char>(c));
    EXPECT_EQ(qz::restored(ascii), all);
}

}  // namespace
