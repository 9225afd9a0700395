// What the stand-in service (tools/standin/standin.py) must receive and what
// its scripted answers must give, whichever transport carries the search.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "query.h"
#include "recording_rows.h"
#include "search_handlers.h"

namespace qz::test {

inline constexpr char kPath[] = "/cgi-bin/custom/output_custom_window.cgi?uin=";
inline constexpr char kSuffix[] = "&type=html&t=0.7202088427527454&fupdate=1&g_tk=6839";

// Everything the service may receive besides the request line.
inline std::string request_with_object(const std::string& object)
{
    return "GET " + object +
           " HTTP/1.0\r\n"
           "Host: r.qzone.qq.com\r\n"
           "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"
           "Accept: */*\r\n"
           "\r\n";
}

class FakeAccountBox final : public AccountBox {
public:
    explicit FakeAccountBox(std::string text) : text_(std::move(text)) {}
    Text text() override { return Text(text_); }
    void set_text(const char* text) override { text_ = text; }

private:
    std::string text_;
};

struct SearchRun {
    std::vector<Row> rows;
    Text page_text;
};

inline SearchRun search_for(const std::string& account, PageTransport& transport)
{
    FakeAccountBox box(account);
    RecordingRows list;
    list.rows.push_back({"stale", "row"});  // the search empties the list first
    SearchRun run;
    SearchContext context{box, list, transport, run.page_text};
    run_search(context);
    run.rows = std::move(list.rows);
    return run;
}

// ---- the request bytes

struct RequestCase {
    const char* name;
    std::string account;
    std::string object;  // what the request line carries
};

inline const RequestCase kRequestCases[] = {
    {"ordinary", "608317", kPath + std::string("608317") + kSuffix},
    {"empty", "", kPath + std::string() + kSuffix},
    {"ampersand_adds_parameters", "1&x=2", kPath + std::string("1&x=2") + kSuffix},
    {"hash_cuts_the_rest_and_the_suffix", "12#34&y=1", kPath + std::string("12")},
    // Escaped by fetch.cpp; neither client's own handling of them is relied on.
    {"space", "12 34", kPath + std::string("12%2034") + kSuffix},
    {"control_byte",
     "12\x01"
     "34",
     kPath + std::string("12%0134") + kSuffix},
    {"delete_byte",
     "12\x7f"
     "34",
     kPath + std::string("12%7F34") + kSuffix},
    // The clients' address parsers alone would drop the tab, end the path
    // at the line feed or refuse the address.
    {"tab_and_line_break", "1\t2\r\n3", kPath + std::string("1%092%0D%0A3") + kSuffix},
    {"gbk_bytes_raw", "\xc4\xa3\xbf\xe9", kPath + std::string("\xc4\xa3\xbf\xe9") + kSuffix},
    {"lone_high_bytes_raw",
     "\x80"
     "1\xff",
     kPath +
         std::string("\x80"
                     "1\xff") +
         kSuffix},
    {"percent_kept", "a%20b", kPath + std::string("a%20b") + kSuffix},
};

// ---- the rows of every scripted answer

inline constexpr char kOne[] = "http://qzflash.example/flash/one.swf";
inline constexpr char kGbk[] = "http://qzflash.example/flash/\xc4\xa3\xbf\xe9.swf";
inline constexpr char kThree[] = "http://qzflash.example/flash/three.swf";
inline constexpr char kBlock[] = "http://qzflash.example/flash/block.swf";
inline constexpr std::size_t kOrdinarySize = 381;
inline constexpr std::size_t kBig = 8u << 20;

struct Rows {
    const char* address;
    int times;
};

struct AnswerCase {
    const char* uin;
    std::size_t body_size;
    std::size_t text_size;
    std::vector<Rows> rows;
    // Set where WinINet's reading past a too-small Content-Length depends on
    // timing: the body is then at least this long, at most body_size, and
    // its rows are the first of `rows`.
    std::size_t shortest_body = 0;
};

inline std::vector<Row> expand(const std::vector<Rows>& rows)
{
    std::vector<Row> out;
    for (const Rows& r : rows)
        for (int i = 0; i < r.times; ++i)
            out.push_back({std::to_string(out.size() + 1), r.address});
    return out;
}

// Checks a body of `size` bytes whose text gave `rows` against the case;
// `to_the_end` for a client that always reads a body to its end.
inline void expect_answer(const AnswerCase& c, std::size_t size, std::size_t text_size, const std::vector<Row>& rows,
                          bool to_the_end = false)
{
    std::vector<Row> full = expand(c.rows);
    if (c.shortest_body == 0 || to_the_end) {
        EXPECT_EQ(size, c.body_size);
        EXPECT_EQ(text_size, c.text_size);
        EXPECT_EQ(rows, full);
        return;
    }
    EXPECT_GE(size, c.shortest_body);
    EXPECT_LE(size, c.body_size);
    EXPECT_EQ(text_size, size);
    ASSERT_LE(rows.size(), full.size());
    EXPECT_EQ(rows, std::vector<Row>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(rows.size())));
    if (size == c.body_size) {
        EXPECT_EQ(rows, full);
    }
}

inline const std::vector<Rows> kOrdinaryRows = {{kOne, 1}, {kGbk, 1}, {kThree, 1}};

inline const AnswerCase kAnswers[] = {
    {"608317", kOrdinarySize, kOrdinarySize, kOrdinaryRows},
    {"404", 87, 87, {{"http://qzflash.example/flash/error404.swf", 1}}},
    {"500", 87, 87, {{"http://qzflash.example/flash/error500.swf", 1}}},
    {"noclen", kOrdinarySize, kOrdinarySize, kOrdinaryRows},
    // WinINet stops at a too-small Content-Length or reads on to the close,
    // depending on what it has buffered already.
    {"shortlen", kOrdinarySize, kOrdinarySize, kOrdinaryRows, 40},
    {"longlen", kOrdinarySize, kOrdinarySize, kOrdinaryRows},
    {"reset", kOrdinarySize / 2, kOrdinarySize / 2, {{kOne, 1}}},
    {"big8", kBig, kBig, {{kBlock, int(kBig / 64)}}},
    {"big8nolen", kBig, kBig, {{kBlock, int(kBig / 64)}}},
    {"big8wrong", kBig, kBig, {{kBlock, int(kBig / 64)}}, 1000},
    {"zeroinside", 2 * kOrdinarySize + 1, kOrdinarySize, kOrdinaryRows},
    {"zerofirst", kOrdinarySize + 1, 0, {}},
    {"slow", kOrdinarySize, kOrdinarySize, kOrdinaryRows},
    {"empty", 0, 0, {}},
    {"redirect", kOrdinarySize, kOrdinarySize, kOrdinaryRows},
    {"42", 82, 82, {{"http://qzflash.example/flash/default.swf", 1}}},
};

// Counts the openings of the internet handle on the way to the real transport.
template <typename Real>
class CountingTransport final : public PageTransport {
public:
    Real real;
    int openings = 0;

    bool split_address(const char* address, AddressParts& parts) override { return real.split_address(address, parts); }
    bool session_open() const override { return real.session_open(); }
    bool open_session() override
    {
        ++openings;
        return real.open_session();
    }
    bool connect(const AddressParts& parts) override { return real.connect(parts); }
    void set_proxy_options() override { real.set_proxy_options(); }
    bool open_request(const char* object) override { return real.open_request(object); }
    bool send_request() override { return real.send_request(); }
    std::optional<std::string> content_length() override { return real.content_length(); }
    bool read(void* buffer, std::size_t size, std::size_t& got) override { return real.read(buffer, size, got); }
    void close_request() override { real.close_request(); }
    void close_connection() override { real.close_connection(); }
};

// The object is the path, "uin=", the account and the suffix; the split has
// room for 2,047 of its characters.
inline std::string account_for_object_length(std::size_t length)
{
    return std::string(length - (sizeof kPath - 1) - (sizeof kSuffix - 1), '7');
}

}  // namespace qz::test
