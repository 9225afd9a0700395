// The text split and module extraction, checked against tables and against
// a plain implementation of the rule on random pages.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "extract.h"
#include "recording_rows.h"
#include "reference_extract.h"
#include "split.h"

namespace {

using Members = std::vector<std::string>;

Members split(const std::string& text, const std::string& delimiter)
{
    Members out;
    for (std::string_view member : qz::text_split(text, delimiter))
        out.emplace_back(member);
    return out;
}

TEST(TextSplit, Table)
{
    struct Case {
        std::string text, delimiter;
        Members members;
    };
    const Case cases[] = {
        {"", "http", {}},
        {"abc", "http", {"abc"}},
        {"http", "http", {""}},
        {"httphttp", "http", {"", ""}},
        {"ahttpb", "http", {"a", "b"}},
        {"ahttp", "http", {"a"}},            // an empty remainder gives no member
        {"aHTTPb", "http", {"aHTTPb"}},      // case-sensitive
        {"\xb0http", "http", {"\xb0http"}},  // the lead byte takes the h
        {"\xb0\xb0httpx", "http", {"\xb0\xb0", "x"}},
        {"\xb0\xb0\xb0httpx", "http", {"\xb0\xb0\xb0httpx"}},
        {"xhttpa\xb0", "http", {"x", "a\xb0"}},  // a lone lead byte at the end stays
        {"a.swf.swfb", ".swf", {"a", "", "b"}},
        {"hhttpx", "http", {"h", "x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text) + " at " + c.delimiter);
        EXPECT_EQ(split(c.text, c.delimiter), c.members);
    }
}

// The fast extraction must agree with the plain rule on every page.
std::vector<Row> reference_rows(const std::string& page)
{
    std::vector<Row> rows;
    for (const ReferenceRow& row : ::reference_rows(page))
        rows.push_back({row.number, row.address});
    return rows;
}

std::vector<Row> extracted_rows(const std::string& page)
{
    RecordingRows list;
    qz::extract_modules(page, list);
    return list.rows;
}

TEST(ModuleExtraction, Table)
{
    struct Case {
        std::string page;
        std::vector<Row> rows;
    };
    const Case cases[] = {
        {"", {}},
        {"A", {}},
        {"A.swfB", {{"1", "httpA.swf"}}},
        {"A.swfBhttpC.swfD", {{"1", "httpA.swf"}, {"2", "httpC.swf"}}},
        {"httpA.swf", {}},  // nothing follows the last address
        {"httpA.swfhttpB.swfC", {{"1", "httpB.swf"}}},
        {"httpA.swfB.swfC", {}},
        {"httpA.swf.swf", {{"1", "httpA.swf"}}},
        {"httpA.swfB.swf", {{"1", "httpA.swf"}}},
        {"http.swfB", {{"1", "http.swf"}}},
        {"http.swf.swf", {{"1", "http.swf"}}},
        {"http.swf", {}},
        {"httpA.SWFB", {}},
        {"HTTPA.swfB", {{"1", "httpHTTPA.swf"}}},
        {"xhttp://a/b.swf\"x\xb0http://c.swf\"", {}},  // the hidden http joins two addresses into one piece
        {"\xb0\xb0http://c.swf\"", {{"1", "http://c.swf"}}},
        {"http://a.swf?q=1\"\r\n<embed src=\"http://a.swf\">http://a.swf ",
         {{"1", "http://a.swf"}, {"2", "http://a.swf"}, {"3", "http://a.swf"}}},
        {"http\"a b<c>\n.swf'", {{"1", "http\"a b<c>\n.swf"}}},
        {"https://x.swf?a", {{"1", "https://x.swf"}}},
        {"httpA.swfB\xb0", {{"1", "httpA.swf"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.page));
        EXPECT_EQ(extracted_rows(c.page), c.rows);
        EXPECT_EQ(reference_rows(c.page), c.rows);
    }
}

TEST(ModuleExtraction, NumbersFollowTheListsOwnCount)
{
    std::string page;
    for (int i = 0; i < 12; ++i)
        page += "http://m" + std::to_string(i) + ".swf\" ";
    RecordingRows list;
    list.rows = {{"x", "x"}, {"y", "y"}};
    qz::extract_modules(page, list);
    ASSERT_EQ(list.rows.size(), 14u);
    EXPECT_EQ(list.rows[2], (Row{"3", "http://m0.swf"}));
    EXPECT_EQ(list.rows[9].number, "10");
    EXPECT_EQ(list.rows[13], (Row{"14", "http://m11.swf"}));
}

TEST(RowNumber, PlainDigits)
{
    const std::pair<int, const char*> cases[] = {
        {0, "1"}, {8, "9"}, {9, "10"}, {99999, "100000"}, {2147483647, "2147483648"}};
    for (auto [count, text] : cases) {
        char out[32];
        qz::row_number_text(count, out);
        EXPECT_STREQ(out, text) << "count " << count;
    }
    std::mt19937 random(5);
    for (int i = 0; i < 100000; ++i) {
        int count = i < 50000 ? i : static_cast<int>(random() >> 1);
        char fast[32], reference[32];
        qz::row_number_text(count, fast);
        std::snprintf(reference, sizeof reference, "%.13g", static_cast<double>(count) + 1.0);
        ASSERT_STREQ(fast, reference) << "count " << count;
    }
}

// Pages of the bytes that matter, with lengths around the scanner's blocks,
// so that candidates, high-byte runs and piece ends fall on every boundary.
TEST(ModuleExtraction, AgreesWithThePlainRuleOnRandomPages)
{
    static const std::string alphabet[] = {"h",    "t",    "p",    ".",    "s",    "w",        "f",    "x",
                                           "\xb0", "\xff", "\x80", "http", ".swf", "\xb0http", "http", ".swf"};
    std::mt19937 random(20261211);
    for (int round = 0; round < 40000; ++round) {
        std::string page;
        std::size_t target = random() % 70;
        while (page.size() < target)
            page += alphabet[random() % std::size(alphabet)];
        if (random() % 8 == 0)
            page.insert(0, std::string(random() % 40, '\xb0'));
        SCOPED_TRACE(testing::PrintToString(page));
        ASSERT_EQ(extracted_rows(page), reference_rows(page));
    }
}

TEST(ModuleExtraction, LongHighRunsAcrossBlocks)
{
    for (std::size_t run = 0; run < 70; ++run) {
        std::string page = "x.swfy" + std::string(run, '\xc8') + "http://a.swf\"" + std::string(run, '\xc8') + ".swfz";
        SCOPED_TRACE(run);
        ASSERT_EQ(extracted_rows(page), reference_rows(page));
    }
}

}  // namespace
