// The query address: prefix, account text as it stands, suffix.
#include <gtest/gtest.h>

#include <string>

#include "query.h"

namespace {

TEST(QueryAddress, AccountTextGoesInUnchanged)
{
    const std::string prefix = "http://r.qzone.qq.com/cgi-bin/custom/output_custom_window.cgi?uin=";
    const std::string suffix = "&type=html&t=0.7202088427527454&fupdate=1&g_tk=6839";
    const std::string accounts[] = {"608317", "", "1&x=2", "1#frag", "a b\t\xb0\xa1", std::string(5000, '9')};
    for (const std::string& account : accounts) {
        SCOPED_TRACE(testing::PrintToString(account));
        EXPECT_EQ(qz::query_address(account).view(), prefix + account + suffix);
    }
}

}  // namespace
