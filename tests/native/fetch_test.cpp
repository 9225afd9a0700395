// The page fetch algorithm against a scripted transport.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fetch.h"
#include "scripted_transport.h"

namespace {

using Calls = std::vector<std::string>;
const std::string kAddress = "http://host/path?uin=1";

TEST(ChunkSize, FromContentLength)
{
    struct Case {
        std::optional<std::string> header;
        std::size_t chunk = 0;
    };
    const Case cases[] = {
        {std::nullopt, 10240},
        {"", 10240},
        {"0", 10240},
        {"-5", 10240},
        {"abc", 10240},
        {"1", 2},
        {"100", 101},
        {"  \t42", 43},
        {"+42", 43},
        {"42abc", 43},
        {"4 2", 5},
        {"102398", 102399},
        {"102399", 102400},
        {"102400", 102400},
        {"99999999999999999999999999999", 102400},
        {"-99999999999999999999999999999", 10240},
        {"- 5", 10240},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header ? testing::PrintToString(*c.header) : "no header");
        EXPECT_EQ(qz::chunk_size_for(c.header), c.chunk);
    }
}

TEST(RequestObject, CutAtHashAndUnsafeBytesEscaped)
{
    const std::pair<std::string, std::string> cases[] = {
        {"/p?uin=1&type=html", "/p?uin=1&type=html"},
        {"/p?uin=1#x&type=html", "/p?uin=1"},
        {"/p?uin=#", "/p?uin="},
        {"/p?uin=a b", "/p?uin=a%20b"},
        {std::string("/p?uin=\x01\x7f\r\n", 11), "/p?uin=%01%7F%0D%0A"},
        {"/p?uin=\xb0\xa1%20", "/p?uin=\xb0\xa1%20"},  // high bytes and existing escapes pass
    };
    for (const auto& [object, sent] : cases) {
        SCOPED_TRACE(testing::PrintToString(object));
        EXPECT_EQ(qz::request_object(object), sent);
    }
}

TEST(PageFetch, OrdinaryFetchMakesEveryCallInOrder)
{
    ScriptedTransport t;
    t.length = "11";
    t.body = "hello world";
    qz::ByteSet body = qz::fetch_page(kAddress, t);
    EXPECT_EQ(body.view(), "hello world");
    EXPECT_EQ(t.calls, (Calls{"split " + kAddress, "open_session", "connect host", "proxy", "open_request", "send",
                              "content_length", "close_request", "close_connection"}));
    EXPECT_EQ(t.object_sent, "/path?uin=1");
    // One byte more than the body: the whole body in one read, the next one reports the end.
    EXPECT_EQ(t.read_sizes, (std::vector<std::size_t>{12, 12}));
    EXPECT_EQ(t.opened_connections, 0);
    EXPECT_EQ(t.opened_requests, 0);
}

TEST(PageFetch, InternetHandleOpenedOnceAndRetriedAfterAFailure)
{
    ScriptedTransport t;
    t.open_ok = false;
    EXPECT_TRUE(qz::fetch_page(kAddress, t).empty());
    EXPECT_EQ(t.calls, (Calls{"split " + kAddress, "open_session"}));
    t.open_ok = true;
    t.calls.clear();
    qz::fetch_page(kAddress, t);
    qz::fetch_page(kAddress, t);
    EXPECT_EQ(std::count(t.calls.begin(), t.calls.end(), "open_session"), 1);
    EXPECT_EQ(std::count(t.calls.begin(), t.calls.end(), "send"), 2);
}

TEST(PageFetch, FailuresCloseWhatWasOpenedAndGiveNothing)
{
    struct Case {
        const char* name;
        void (*script)(ScriptedTransport&);
        Calls tail;  // the calls after the split
    };
    const Case cases[] = {
        {"split fails", [](ScriptedTransport& t) { t.split_ok = false; }, {}},
        {"connect fails", [](ScriptedTransport& t) { t.connect_ok = false; }, {"open_session", "connect host"}},
        {"request fails",
         [](ScriptedTransport& t) { t.request_ok = false; },
         {"open_session", "connect host", "proxy", "open_request", "close_connection"}},
        {"send fails",
         [](ScriptedTransport& t) { t.send_ok = false; },
         {"open_session", "connect host", "proxy", "open_request", "send", "close_request", "close_connection"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedTransport t;
        t.body = "page";
        c.script(t);
        EXPECT_TRUE(qz::fetch_page(kAddress, t).empty());
        Calls expected = {"split " + kAddress};
        expected.insert(expected.end(), c.tail.begin(), c.tail.end());
        EXPECT_EQ(t.calls, expected);
        EXPECT_EQ(t.opened_connections, 0);
        EXPECT_EQ(t.opened_requests, 0);
        EXPECT_TRUE(t.read_sizes.empty());
    }
}

TEST(PageFetch, EmptyAddressSendsNothing)
{
    ScriptedTransport t;
    EXPECT_TRUE(qz::fetch_page("", t).empty());
    EXPECT_TRUE(t.calls.empty());
}

TEST(PageFetch, ChunkBufferThatCannotBeHad)
{
    ScriptedTransport t;
    t.body = "page";
    qz::ByteSet body = qz::fetch_page(kAddress, t, [](std::size_t) -> void* { return nullptr; });
    EXPECT_TRUE(body.empty());
    EXPECT_TRUE(t.read_sizes.empty());
    ASSERT_GE(t.calls.size(), 2u);
    EXPECT_EQ(t.calls[t.calls.size() - 2], "close_request");
    EXPECT_EQ(t.calls.back(), "close_connection");
}

TEST(PageFetch, ReadsTheWholeBodyWhateverTheLengthSays)
{
    std::string big(8 * 1024 * 1024 + 3, 'x');
    for (std::size_t i = 0; i < big.size(); i += 4093)
        big[i] = static_cast<char>(i);
    const std::optional<std::string> lengths[] = {std::nullopt, "10", std::to_string(big.size()), "999999999"};
    for (const auto& length : lengths) {
        SCOPED_TRACE(length ? *length : "no length");
        ScriptedTransport t;
        t.length = length;
        t.body = big;
        EXPECT_EQ(qz::fetch_page(kAddress, t).view(), big);
    }
}

TEST(PageFetch, FailedReadKeepsWhatArrived)
{
    ScriptedTransport t;
    t.body = std::string(30000, 'b');
    t.fail_read_after = 25000;
    qz::ByteSet body = qz::fetch_page(kAddress, t);
    EXPECT_EQ(body.view(), std::string(25000, 'b'));
    EXPECT_EQ(t.calls.back(), "close_connection");
    EXPECT_EQ(t.calls[t.calls.size() - 2], "close_request");
}

}  // namespace
