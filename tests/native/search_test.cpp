// The search handler's order of effects, and the account box's handlers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_rows.h"
#include "scripted_transport.h"
#include "search_handlers.h"

namespace {

class FakeAccountBox : public qz::AccountBox {
public:
    std::string text_ = "608317";
    std::vector<std::string>* log = nullptr;  // not owned
    qz::Text text() override
    {
        log->push_back("read account");
        return qz::Text(text_);
    }
    void set_text(const char* text) override { text_ = text; }
};

struct Search {
    std::vector<std::string> log;
    FakeAccountBox account;
    RecordingRows list;
    ScriptedTransport transport;
    qz::Text page_text;
    qz::SearchContext context{account, list, transport, page_text};

    Search()
    {
        account.log = list.log = transport.log = &log;
        list.rows = {{"", ""}, {"", "hint"}, {"", ""}};
    }
};

TEST(SearchHandler, EmptiesTheListBeforeAnythingElseThenFetchesAndLists)
{
    Search s;
    s.transport.body = "x http://a.swf\" http://b.swf?";
    qz::run_search(s.context);
    ASSERT_GE(s.log.size(), 3u);
    EXPECT_EQ(s.log[0], "remove_all");
    EXPECT_EQ(s.log[1], "read account");
    EXPECT_EQ(s.log[2], "split http://r.qzone.qq.com/cgi-bin/custom/output_custom_window.cgi?uin=608317"
                        "&type=html&t=0.7202088427527454&fupdate=1&g_tk=6839");
    EXPECT_EQ(s.list.rows, (std::vector<Row>{{"1", "http://a.swf"}, {"2", "http://b.swf"}}));
    EXPECT_EQ(s.page_text.view(), s.transport.body);
}

TEST(SearchHandler, EveryFetchReplacesThePageTextEvenWithNothing)
{
    Search s;
    EXPECT_TRUE(s.page_text.absent());
    s.transport.body = std::string("first\0rest", 10);
    qz::run_search(s.context);
    EXPECT_EQ(s.page_text.view(), "first");
    s.transport.send_ok = false;
    qz::run_search(s.context);
    EXPECT_FALSE(s.page_text.absent());
    EXPECT_EQ(s.page_text.view(), "");
    EXPECT_TRUE(s.list.rows.empty());
}

TEST(SearchHandler, EmptyAccountStillSends)
{
    Search s;
    s.account.text_ = "";
    qz::run_search(s.context);
    EXPECT_EQ(s.transport.object_sent,
              "/cgi-bin/custom/output_custom_window.cgi?uin=&type=html&t=0.7202088427527454&fupdate=1&g_tk=6839");
}

TEST(AccountKey, OnlyEnterSearchesWhateverTheModifiers)
{
    const std::pair<int, bool> keys[] = {{13, true}, {10, false}, {'A', false}, {108, false}, {0, false}};
    for (auto [key, searches] : keys) {
        for (int modifiers : {0, 1, 2, 4, 7}) {
            SCOPED_TRACE(testing::Message() << "key " << key << " modifiers " << modifiers);
            Search s;
            qz::on_account_key(s.context, key, modifiers);
            EXPECT_EQ(!s.log.empty() && s.log[0] == "remove_all", searches);
            EXPECT_EQ(s.list.rows.size(), searches ? 0u : 3u);
        }
    }
}

TEST(AccountFocus, EmptiesTheBox)
{
    FakeAccountBox box;
    qz::on_account_focus(box);
    EXPECT_EQ(box.text_, "");
}

}  // namespace
