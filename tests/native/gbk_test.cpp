// The service's code page both ways: nothing dropped, nothing invented.
#include <gtest/gtest.h>

#include <string>

#include "gbk.h"

namespace {

struct Case {
    const char* name;
    std::string in;
    std::string out;
};

std::string name_of(const testing::TestParamInfo<Case>& row) { return row.param.name; }

// ---- account text typed as UTF-8, sent as GBK

class AccountBytes : public testing::TestWithParam<Case> {};

TEST_P(AccountBytes, FromUtf8) { EXPECT_EQ(qz::account_bytes_from_utf8(GetParam().in), GetParam().out); }

const Case kAccountCases[] = {
    {"empty", "", ""},
    {"digits", "608317", "608317"},
    {"ascii_with_query_bytes_untouched", "1&x=2#y %41\\", "1&x=2#y %41\\"},
    {"zero_byte_kept",
     std::string("1\0"
                 "2",
                 3),
     std::string("1\0"
                 "2",
                 3)},
    {"chinese", "\xe6\xa8\xa1\xe5\x9d\x97", "\xc4\xa3\xbf\xe9"},
    {"euro_is_0x80_as_in_code_page_936", "\xe2\x82\xac", "\x80"},
    {"middle_dot_and_em_dash_of_code_page_936", "\xc2\xb7\xe2\x80\x94", "\xa1\xa4\xa1\xaa"},
    {"emoji_gbk_lacks", "\xf0\x9f\x98\x80", "%F0%9F%98%80"},
    {"hangul_gbk_lacks", "\xed\x95\x9c", "%ED%95%9C"},
    {"lacking_between_mappable",
     "1\xf0\x9f\x98\x80\xe6\xa8\xa1"
     "2",
     "1%F0%9F%98%80\xc4\xa3"
     "2"},
    {"invalid_byte",
     "a\xff"
     "b",
     "a%FFb"},
    {"lone_continuation", "\x80", "%80"},
    {"cut_short_at_the_end", "1\xe6\xa8", "1%E6%A8"},
    {"cut_short_before_ascii", "\xe6\xa8x", "%E6%A8x"},
    {"overlong_slash", "\xc0\xaf", "%C0%AF"},
    {"encoded_surrogate", "\xed\xa0\x80", "%ED%A0%80"},
    {"past_the_last_code_point", "\xf4\x90\x80\x80", "%F4%90%80%80"},
};
INSTANTIATE_TEST_SUITE_P(Gbk, AccountBytes, testing::ValuesIn(kAccountCases), name_of);

// ---- row bytes (GBK) shown and copied as UTF-8

struct RowCase {
    const char* name;
    std::string gbk;
    std::string shown;   // with \xHH for bytes that do not decode
    std::string copied;  // with %XX for them
};

class RowText : public testing::TestWithParam<RowCase> {};

TEST_P(RowText, Displayed) { EXPECT_EQ(qz::display_text_from_gbk(GetParam().gbk), GetParam().shown); }
TEST_P(RowText, Copied) { EXPECT_EQ(qz::clipboard_text_from_gbk(GetParam().gbk), GetParam().copied); }

const RowCase kRowCases[] = {
    {"empty", "", "", ""},
    {"ascii_as_is_backslash_and_percent_too", "http://a/b.swf?x=%41\\x41", "http://a/b.swf?x=%41\\x41",
     "http://a/b.swf?x=%41\\x41"},
    {"zero_byte_kept", std::string("a\0b", 3), std::string("a\0b", 3), std::string("a\0b", 3)},
    {"two_byte_characters", "http://a/\xc4\xa3\xbf\xe9.swf", "http://a/\xe6\xa8\xa1\xe5\x9d\x97.swf",
     "http://a/\xe6\xa8\xa1\xe5\x9d\x97.swf"},
    {"lead_with_a_trail_below_0x80",
     "\xc4"
     "a",
     "\xe8\x85\xb6", "\xe8\x85\xb6"},
    {"euro_0x80", "\x80", "\xe2\x82\xac", "\xe2\x82\xac"},
    {"code_page_936_punctuation", "\xa1\xa4\xa1\xaa", "\xc2\xb7\xe2\x80\x94", "\xc2\xb7\xe2\x80\x94"},
    {"0xff",
     "a\xff"
     "b",
     "a\\xFFb", "a%FFb"},
    {"lone_lead_at_the_end", "a.swf\xc4", "a.swf\\xC4", "a.swf%C4"},
    {"lead_then_a_byte_no_trail_can_be",
     "\xc4"
     "0.swf",
     "\\xC4"
     "0.swf",
     "%C4"
     "0.swf"},
    {"lead_then_0xff_then_a_pair", "\xc4\xff\xc4\xa3", "\\xC4\\xFF\xe6\xa8\xa1", "%C4%FF\xe6\xa8\xa1"},
    {"gb18030_only_pair", "\xa8\xbf", "\\xA8\\xBF", "%A8%BF"},
    {"gb18030_four_byte_form", "\x81\x30\x81\x30",
     "\\x81"
     "0\\x81"
     "0",
     "%81"
     "0%81"
     "0"},
    {"user_defined_area", "\xaa\xa1", "\\xAA\\xA1", "%AA%A1"},
    {"every_byte_undecodable", "\xff\xff\xff", "\\xFF\\xFF\\xFF", "%FF%FF%FF"},
};
INSTANTIATE_TEST_SUITE_P(Gbk, RowText, testing::ValuesIn(kRowCases),
                         [](const auto& row) { return std::string(row.param.name); });

// Long rows cross the converter's output room many times over.
TEST(RowText, LongRowConvertedWhole)
{
    std::string gbk, utf8, shown;
    for (int i = 0; i < 2000; ++i) {
        gbk += "\xc4\xa3"
               "a\xff";
        utf8 += "\xe6\xa8\xa1"
                "a%FF";
        shown += "\xe6\xa8\xa1"
                 "a\\xFF";
    }
    EXPECT_EQ(qz::clipboard_text_from_gbk(gbk), utf8);
    EXPECT_EQ(qz::display_text_from_gbk(gbk), shown);
}

// What the account box sends and what the list shows meet again: a typed
// account's GBK bytes come back as the same text.
TEST(RoundTrip, TypedChineseComesBack)
{
    const std::string typed = "\xe6\xa8\xa1\xe5\x9d\x97\xe2\x82\xac"
                              "123";
    EXPECT_EQ(qz::display_text_from_gbk(qz::account_bytes_from_utf8(typed)), typed);
}

}  // namespace
