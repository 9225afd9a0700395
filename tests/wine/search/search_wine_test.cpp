// The search against the real WinINet and the stand-in service (tools/standin).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "query.h"
#include "recording_rows.h"
#include "search_handlers.h"
#include "standin_log.h"
#include "wininet_transport.h"

namespace qz::test {
namespace {

constexpr char kPath[] = "/cgi-bin/custom/output_custom_window.cgi?uin=";
constexpr char kSuffix[] = "&type=html&t=0.7202088427527454&fupdate=1&g_tk=6839";

// Everything the service may receive besides the request line.
std::string request_with_object(const std::string& object)
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

SearchRun search_for(const std::string& account, WinInetTransport& transport)
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

class RequestBytes : public testing::TestWithParam<RequestCase> {};

TEST_P(RequestBytes, ServiceReceivesExactlyTheseBytes)
{
    const RequestCase& c = GetParam();
    WinInetTransport transport;
    std::size_t before = standin_log_size();
    search_for(c.account, transport);
    std::vector<std::string> got = requests_since(before);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], request_with_object(c.object));
}

const RequestCase kRequestCases[] = {
    {"ordinary", "608317", kPath + std::string("608317") + kSuffix},
    {"empty", "", kPath + std::string() + kSuffix},
    {"ampersand_adds_parameters", "1&x=2", kPath + std::string("1&x=2") + kSuffix},
    {"hash_cuts_the_rest_and_the_suffix", "12#34&y=1", kPath + std::string("12")},
    // Escaped by fetch.cpp; Wine's HttpOpenRequestA would escape the space
    // itself but sends control bytes raw (see WineRequestLine below).
    {"space", "12 34", kPath + std::string("12%2034") + kSuffix},
    {"control_byte",
     "12\x01"
     "34",
     kPath + std::string("12%0134") + kSuffix},
    {"delete_byte",
     "12\x7f"
     "34",
     kPath + std::string("12%7F34") + kSuffix},
    // Wine's address split alone would drop the tab, end the path at the line
    // feed and cut the end of an address with two-byte characters short.
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
INSTANTIATE_TEST_SUITE_P(Accounts, RequestBytes, testing::ValuesIn(kRequestCases),
                         [](const auto& row) { return std::string(row.param.name); });

// What Wine's WinINet itself does with unescaped bytes on the request line:
// the reason request_object() escapes them before HttpOpenRequestA.
struct RawCase {
    const char* name;
    std::string object_given;
    std::string object_sent;
};

class WineRequestLine : public testing::TestWithParam<RawCase> {};

TEST_P(WineRequestLine, OfARawObject)
{
    const RawCase& c = GetParam();
    WinInetTransport transport;
    AddressParts parts;
    std::string address = "http://r.qzone.qq.com" + c.object_given;
    ASSERT_TRUE(transport.split_address(address.c_str(), parts));
    EXPECT_EQ(parts.object, c.object_given) << "the query stays in the object";
    ASSERT_TRUE(transport.open_session());
    ASSERT_TRUE(transport.connect(parts));
    std::size_t before = standin_log_size();
    ASSERT_TRUE(transport.open_request(parts.object.c_str()));
    ASSERT_TRUE(transport.send_request());
    char chunk[4096];
    std::size_t got = 0;
    while (transport.read(chunk, sizeof chunk, got) && got != 0) {
    }
    transport.close_request();
    transport.close_connection();
    std::vector<std::string> requests = requests_since(before);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], request_with_object(c.object_sent));
}

const RawCase kRawCases[] = {
    {"space_escaped_by_wine", "/p?uin=1 2", "/p?uin=1%202"},
    {"control_byte_sent_raw",
     "/p?uin=1\x01"
     "2",
     "/p?uin=1\x01"
     "2"},
    {"delete_sent_raw",
     "/p?uin=1\x7f"
     "2",
     "/p?uin=1\x7f"
     "2"},
    {"hash_sent_raw", "/p?uin=1#2", "/p?uin=1#2"},
};
INSTANTIATE_TEST_SUITE_P(Wine, WineRequestLine, testing::ValuesIn(kRawCases),
                         [](const auto& row) { return std::string(row.param.name); });

// ---- the rows of every scripted answer

constexpr char kOne[] = "http://qzflash.example/flash/one.swf";
constexpr char kGbk[] = "http://qzflash.example/flash/\xc4\xa3\xbf\xe9.swf";
constexpr char kThree[] = "http://qzflash.example/flash/three.swf";
constexpr char kBlock[] = "http://qzflash.example/flash/block.swf";
constexpr std::size_t kOrdinarySize = 381;
constexpr std::size_t kBig = 8u << 20;

struct Rows {
    const char* address;
    int times;
};

struct AnswerCase {
    const char* uin;
    std::size_t body_size;
    std::size_t text_size;
    std::vector<Rows> rows;
    // Set where Wine's reading past a too-small Content-Length depends on
    // timing: the body is then at least this long, at most body_size, and
    // its rows are the first of `rows`.
    std::size_t shortest_body = 0;
};

std::vector<Row> expand(const std::vector<Rows>& rows)
{
    std::vector<Row> out;
    for (const Rows& r : rows)
        for (int i = 0; i < r.times; ++i)
            out.push_back({std::to_string(out.size() + 1), r.address});
    return out;
}

// Checks a body of `size` bytes whose text gave `rows` against the case.
void expect_answer(const AnswerCase& c, std::size_t size, std::size_t text_size, const std::vector<Row>& rows)
{
    std::vector<Row> full = expand(c.rows);
    if (c.shortest_body == 0) {
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

const std::vector<Rows> kOrdinaryRows = {{kOne, 1}, {kGbk, 1}, {kThree, 1}};

const AnswerCase kAnswers[] = {
    {"608317", kOrdinarySize, kOrdinarySize, kOrdinaryRows},
    {"404", 87, 87, {{"http://qzflash.example/flash/error404.swf", 1}}},
    {"500", 87, 87, {{"http://qzflash.example/flash/error500.swf", 1}}},
    {"noclen", kOrdinarySize, kOrdinarySize, kOrdinaryRows},
    // Wine stops at a too-small Content-Length or reads on to the close,
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
    {"42", 82, 82, {{"http://qzflash.example/flash/default.swf", 1}}},
};

class ScriptedAnswer : public testing::TestWithParam<AnswerCase> {};

TEST_P(ScriptedAnswer, FetchTextAndExtract)
{
    const AnswerCase& c = GetParam();
    WinInetTransport transport;
    Text address = query_address(c.uin);
    ByteSet body = fetch_page(address.view(), transport);
    std::size_t size = body.size();
    Text page = text_of(std::move(body));
    RecordingRows list;
    extract_modules(page.view(), list);
    expect_answer(c, size, page.size(), list.rows);
}

TEST_P(ScriptedAnswer, FullSearch)
{
    const AnswerCase& c = GetParam();
    WinInetTransport transport;
    SearchRun run = search_for(c.uin, transport);
    EXPECT_FALSE(run.page_text.absent());
    // The search keeps no body size; a text without zero bytes is the body.
    std::size_t size = c.text_size == c.body_size ? run.page_text.size() : c.body_size;
    expect_answer(c, size, run.page_text.size(), run.rows);
}

INSTANTIATE_TEST_SUITE_P(Standin, ScriptedAnswer, testing::ValuesIn(kAnswers),
                         [](const auto& row) { return std::string(row.param.uin); });

// ---- the internet handle and the failures before anything is sent

// Counts the openings of the internet handle on the way to the real transport.
class CountingTransport final : public PageTransport {
public:
    WinInetTransport real;
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

TEST(InternetHandle, OpenedOnceAndReused)
{
    CountingTransport transport;
    Text address = query_address("608317");
    std::size_t before = standin_log_size();
    EXPECT_EQ(fetch_page(address.view(), transport).size(), kOrdinarySize);
    EXPECT_TRUE(transport.session_open());
    EXPECT_EQ(fetch_page(address.view(), transport).size(), kOrdinarySize);
    EXPECT_EQ(transport.openings, 1);
    EXPECT_EQ(requests_since(before).size(), 2u);
}

// The object is the path, "uin=", the account and the suffix; the split has
// room for 2,047 of its characters.
std::string account_for_object_length(std::size_t length)
{
    return std::string(length - (sizeof kPath - 1) - (sizeof kSuffix - 1), '7');
}

TEST(LongAddress, ObjectThatFitsIsSent)
{
    WinInetTransport transport;
    std::size_t before = standin_log_size();
    search_for(account_for_object_length(2047), transport);
    std::vector<std::string> got = requests_since(before);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].find(" HTTP/1.0\r\n"), 4 + 2047u);
}

TEST(LongAddress, ObjectBeyondItsRoomSendsNothing)
{
    WinInetTransport transport;
    SearchRun first = search_for("608317", transport);
    ASSERT_EQ(first.rows.size(), 3u);
    for (std::size_t length : {2048u, 2100u, 10000u}) {
        SCOPED_TRACE("object of " + std::to_string(length) + " characters");
        std::size_t before = standin_log_size();
        FakeAccountBox box(account_for_object_length(length));
        RecordingRows list;
        list.rows.push_back({"stale", "row"});
        SearchContext context{box, list, transport, first.page_text};
        run_search(context);
        EXPECT_TRUE(list.rows.empty());
        EXPECT_FALSE(first.page_text.absent());
        EXPECT_EQ(first.page_text.size(), 0u) << "not the page of the search before";
        EXPECT_EQ(standin_log_size(), before);
    }
}

TEST(LongAddress, NothingSentOpensNoHandle)
{
    WinInetTransport transport;
    search_for(account_for_object_length(3000), transport);
    EXPECT_FALSE(transport.session_open());
}

TEST(NoService, ConnectionRefusedOrNoHostGivesAnEmptyBody)
{
    for (const char* address : {"http://127.0.0.1:9/cgi-bin/custom/output_custom_window.cgi?uin=1",
                                "http://127.0.0.2/cgi-bin/custom/output_custom_window.cgi?uin=1",
                                "http://nowhere.invalid/cgi-bin/custom/output_custom_window.cgi?uin=1"}) {
        SCOPED_TRACE(address);
        WinInetTransport transport;
        EXPECT_TRUE(fetch_page(address, transport).empty());
    }
}

}  // namespace
}  // namespace qz::test
