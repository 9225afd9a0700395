// The search over libcurl against the stand-in service; run inside
// tools/sandbox/run --linux.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "curl_transport.h"
#include "standin_cases.h"
#include "standin_log.h"

namespace qz::test {
namespace {

// ---- the request bytes: the same as the Windows program sends

class RequestBytes : public testing::TestWithParam<RequestCase> {};

TEST_P(RequestBytes, ServiceReceivesExactlyTheseBytes)
{
    const RequestCase& c = GetParam();
    CurlTransport transport;
    std::size_t before = standin_log_size();
    search_for(c.account, transport);
    std::vector<std::string> got = requests_since(before);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], request_with_object(c.object));
}

INSTANTIATE_TEST_SUITE_P(Accounts, RequestBytes, testing::ValuesIn(kRequestCases),
                         [](const auto& row) { return std::string(row.param.name); });

// ---- the rows of every scripted answer: the same as on Windows, a body
// always read to its end whatever its Content-Length says

class ScriptedAnswer : public testing::TestWithParam<AnswerCase> {};

TEST_P(ScriptedAnswer, FetchTextAndExtract)
{
    const AnswerCase& c = GetParam();
    CurlTransport transport;
    Text address = query_address(c.uin);
    ByteSet body = fetch_page(address.view(), transport);
    std::size_t size = body.size();
    Text page = text_of(std::move(body));
    RecordingRows list;
    extract_modules(page.view(), list);
    expect_answer(c, size, page.size(), list.rows, true);
}

TEST_P(ScriptedAnswer, FullSearch)
{
    const AnswerCase& c = GetParam();
    CurlTransport transport;
    SearchRun run = search_for(c.uin, transport);
    EXPECT_FALSE(run.page_text.absent());
    std::size_t size = c.text_size == c.body_size ? run.page_text.size() : c.body_size;
    expect_answer(c, size, run.page_text.size(), run.rows, true);
}

INSTANTIATE_TEST_SUITE_P(Standin, ScriptedAnswer, testing::ValuesIn(kAnswers),
                         [](const auto& row) { return std::string(row.param.uin); });

// ---- the transport's steps by hand

struct Fetched {
    bool sent = false;
    std::optional<std::string> length;
    std::string body;
    bool ended_well = false;
    std::vector<std::size_t> reads;
};

Fetched fetch_by_hand(CurlTransport& transport, const std::string& uin, std::size_t read_size)
{
    Fetched out;
    Text address = query_address(uin);
    AddressParts parts;
    EXPECT_TRUE(transport.split_address(address.c_str(), parts));
    if (!transport.session_open()) {
        EXPECT_TRUE(transport.open_session());
    }
    EXPECT_TRUE(transport.connect(parts));
    EXPECT_TRUE(transport.open_request(request_object(parts.object).c_str()));
    out.sent = transport.send_request();
    if (out.sent) {
        out.length = transport.content_length();
        std::vector<char> buffer(read_size);
        std::size_t got = 0;
        while ((out.ended_well = transport.read(buffer.data(), buffer.size(), got)) && got != 0) {
            out.reads.push_back(got);
            out.body.append(buffer.data(), got);
        }
    }
    transport.close_request();
    transport.close_connection();
    return out;
}

TEST(ContentLength, HeaderTextOfTheFinalAnswerWhileTheBodyRunsToItsEnd)
{
    struct Case {
        const char* uin = nullptr;
        std::optional<std::string> header;
    };
    const Case cases[] = {
        {"608317", "381"},   {"noclen", std::nullopt}, {"shortlen", "40"},
        {"longlen", "5381"}, {"empty", "0"},           {"redirect", "381"},  // not the 302's own
    };
    CurlTransport transport;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uin);
        Fetched f = fetch_by_hand(transport, c.uin, kLargestChunk);
        EXPECT_TRUE(f.sent);
        EXPECT_EQ(f.length, c.header);
        EXPECT_TRUE(f.ended_well);
        EXPECT_EQ(f.body.size(), std::string(c.uin) == "empty" ? 0u : kOrdinarySize);
    }
}

// Reads smaller than what libcurl hands over at once: the rest waits for the
// next read, nothing lost or doubled, no read overfilled.
TEST(Streaming, EveryReadSizeGivesTheWholeBody)
{
    CurlTransport transport;
    const Fetched whole = fetch_by_hand(transport, "608317", kLargestChunk);
    ASSERT_EQ(whole.body.size(), kOrdinarySize);
    for (std::size_t size : {std::size_t{1}, std::size_t{7}, std::size_t{380}, std::size_t{381}, std::size_t{382}}) {
        SCOPED_TRACE("reads of " + std::to_string(size));
        Fetched f = fetch_by_hand(transport, "608317", size);
        EXPECT_TRUE(f.ended_well);
        EXPECT_EQ(f.body, whole.body);
        for (std::size_t got : f.reads)
            EXPECT_LE(got, size);
    }
    Fetched big = fetch_by_hand(transport, "big8nolen", 4093);
    EXPECT_TRUE(big.ended_well);
    ASSERT_EQ(big.body.size(), kBig);
    EXPECT_EQ(big.body.compare(0, 64, big.body, kBig - 64, 64), 0);
    for (std::size_t got : big.reads)
        EXPECT_LE(got, 4093u);
}

// A read cut short by the reset keeps the bytes before it and then fails;
// the transport is ready for the next fetch.
TEST(Streaming, ResetFailsTheReadAfterTheBytesThatArrived)
{
    CurlTransport transport;
    Fetched f = fetch_by_hand(transport, "reset", 64);
    EXPECT_TRUE(f.sent);
    EXPECT_FALSE(f.ended_well);
    EXPECT_EQ(f.body.size(), kOrdinarySize / 2);
    EXPECT_EQ(fetch_by_hand(transport, "608317", 64).body.size(), kOrdinarySize);
}

// A fetch abandoned part-way leaves nothing behind for the next one.
TEST(Streaming, RequestClosedBeforeItsEnd)
{
    CurlTransport transport;
    Text address = query_address("big8");
    AddressParts parts;
    ASSERT_TRUE(transport.split_address(address.c_str(), parts));
    ASSERT_TRUE(transport.open_session());
    ASSERT_TRUE(transport.connect(parts));
    ASSERT_TRUE(transport.open_request(request_object(parts.object).c_str()));
    ASSERT_TRUE(transport.send_request());
    char buffer[1000];
    std::size_t got = 0;
    ASSERT_TRUE(transport.read(buffer, sizeof buffer, got));
    EXPECT_GT(got, 0u);
    transport.close_request();
    transport.close_connection();
    Fetched next = fetch_by_hand(transport, "608317", kLargestChunk);
    EXPECT_EQ(next.length, "381");
    EXPECT_EQ(next.body.size(), kOrdinarySize);
}

TEST(Redirect, LoopEndsWithAnEmptyBody)
{
    CurlTransport transport;
    std::size_t before = standin_log_size();
    Text address = query_address("redirectloop");
    EXPECT_TRUE(fetch_page(address.view(), transport).empty());
    std::size_t requests = requests_since(before).size();
    EXPECT_GT(requests, 1u);
    EXPECT_LE(requests, 40u);
}

// libcurl's own reading of the environment's proxy settings is kept: the
// stand-in answers a proxy request too, by the account in its line.
TEST(Proxy, FromTheEnvironment)
{
    ASSERT_EQ(setenv("http_proxy", "http://127.0.0.1:80", 1), 0);
    CurlTransport transport;
    std::size_t before = standin_log_size();
    ByteSet body = fetch_page("http://nowhere.invalid/p?uin=608317", transport);
    unsetenv("http_proxy");
    EXPECT_EQ(body.size(), kOrdinarySize);
    std::vector<std::string> got = requests_since(before);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].rfind("GET http://nowhere.invalid/p?uin=608317 HTTP/1.0\r\n", 0), 0u) << got[0];
    EXPECT_EQ(got[0].find("Accept-Encoding"), std::string::npos);
}

// ---- the internet handle and the failures before anything is sent

TEST(InternetHandle, OpenedOnceAndReused)
{
    CountingTransport<CurlTransport> transport;
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
    CurlTransport transport;
    std::size_t before = standin_log_size();
    search_for(account_for_object_length(2047), transport);
    std::vector<std::string> got = requests_since(before);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].find(" HTTP/1.0\r\n"), 4 + 2047u);
}

TEST(LongAddress, ObjectBeyondItsRoomSendsNothingAndOpensNoHandle)
{
    for (std::size_t length : {2048u, 2100u, 10000u}) {
        SCOPED_TRACE("object of " + std::to_string(length) + " characters");
        CurlTransport transport;
        std::size_t before = standin_log_size();
        SearchRun run = search_for(account_for_object_length(length), transport);
        EXPECT_TRUE(run.rows.empty());
        EXPECT_EQ(run.page_text.size(), 0u);
        EXPECT_EQ(standin_log_size(), before);
        EXPECT_FALSE(transport.session_open());
    }
}

TEST(NoService, ConnectionRefusedOrNoHostGivesAnEmptyBody)
{
    for (const char* address : {"http://127.0.0.1:9/cgi-bin/custom/output_custom_window.cgi?uin=1",
                                "http://127.0.0.2/cgi-bin/custom/output_custom_window.cgi?uin=1",
                                "http://nowhere.invalid/cgi-bin/custom/output_custom_window.cgi?uin=1"}) {
        SCOPED_TRACE(address);
        CurlTransport transport;
        EXPECT_TRUE(fetch_page(address, transport).empty());
    }
}

}  // namespace
}  // namespace qz::test
