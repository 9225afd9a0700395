// Text concatenation, the text of a byte set, and the allocation rule.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "text.h"

namespace {

using qz::ByteSet;
using qz::Text;

TEST(TextConcat, JoinsPartsInOrder)
{
    EXPECT_EQ(qz::text_concat({"http", "://a", ".swf"}).view(), "http://a.swf");
    EXPECT_EQ(qz::text_concat({"", "x", ""}).view(), "x");
    Text empty = qz::text_concat({"", ""});
    EXPECT_FALSE(empty.absent());
    EXPECT_EQ(empty.size(), 0u);
    EXPECT_STREQ(empty.c_str(), "");
}

TEST(Text, AbsentReadsAsEmpty)
{
    Text absent;
    EXPECT_TRUE(absent.absent());
    EXPECT_STREQ(absent.c_str(), "");
    EXPECT_EQ(absent.view(), "");
    Text moved = Text("abc");
    Text target = std::move(moved);
    EXPECT_TRUE(moved.absent());  // NOLINT(bugprone-use-after-move): the moved-from state is part of the contract
    EXPECT_EQ(target.view(), "abc");
}

ByteSet bytes_of(std::string_view s)
{
    ByteSet set;
    set.append(s.data(), s.size());
    return set;
}

TEST(TextOfByteSet, StopsAtTheFirstZeroByte)
{
    struct Row {
        std::string bytes;
        std::string text;
    };
    const Row rows[] = {
        {"", ""},
        {"abc", "abc"},
        {std::string("\0abc", 4), ""},
        {std::string("ab\0cd\0", 6), "ab"},
        {"\xb0\xa1h", "\xb0\xa1h"},  // no code page conversion
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.bytes));
        Text text = qz::text_of(bytes_of(row.bytes));
        EXPECT_FALSE(text.absent());
        EXPECT_EQ(text.view(), row.text);
        EXPECT_EQ(text.c_str()[text.size()], '\0');
    }
}

TEST(ByteSet, ManyAppendsKeepEveryByteInOrder)
{
    ByteSet set;
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        std::string chunk(static_cast<std::size_t>(i % 97 + 1), static_cast<char>('a' + i % 26));
        set.append(chunk.data(), chunk.size());
        expected += chunk;
    }
    EXPECT_EQ(set.view(), expected);
    EXPECT_EQ(qz::text_of(std::move(set)).view(), expected);
}

[[noreturn]] void throwing_fatal(const char* message) { throw std::runtime_error(message); }

TEST(Allocation, FailureEndsThroughTheFatalHandlerWithTheByteCount)
{
    qz::set_fatal_handler(throwing_fatal);
    const std::size_t huge = std::size_t(1) << 62;
    try {
        qz::checked_alloc(huge);
        ADD_FAILURE() << "allocation of 2^62 bytes succeeded";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "分配 4611686018427387904 字节内存失败!");
    }
    try {
        qz::fatal_out_of_memory(40);
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "分配 40 字节内存失败!");
    }
    qz::set_fatal_handler(nullptr);
}

}  // namespace

// A failed allocation must come back as null for the test above, not end the run.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
