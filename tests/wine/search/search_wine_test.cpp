// The search against the real WinINet and the stand-in service (tools/standin).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin_cases.h"
#include "standin_log.h"
#include "wininet_transport.h"

namespace qz::test {
namespace {

// ---- the request bytes

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

TEST(InternetHandle, OpenedOnceAndReused)
{
    CountingTransport<WinInetTransport> transport;
    Text address = query_address("608317");
    std::size_t before = standin_log_size();
    EXPECT_EQ(fetch_page(address.view(), transport).size(), kOrdinarySize);
    EXPECT_TRUE(transport.session_open());
    EXPECT_EQ(fetch_page(address.view(), transport).size(), kOrdinarySize);
    EXPECT_EQ(transport.openings, 1);
    EXPECT_EQ(requests_since(before).size(), 2u);
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
