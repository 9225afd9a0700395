// Reading the selected address: the row asked for, the doubling buffer, whole texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_fakes.h"
#include "selected_address.h"

namespace qz::test {
namespace {

std::string high_bytes(std::size_t length)
{
    std::string s;
    for (std::size_t i = 0; i < length; ++i)
        s.push_back(static_cast<char>(0x80 + i % 0x80));
    return s;
}

struct ReadCase {
    const char* name;
    int selected;
    std::string address;  // column 1 of the selected row
    std::vector<int> read_sizes;
};

TEST(ReadSelectedAddress, ReadsColumnOneWholeThroughADoublingBuffer)
{
    const ReadCase cases[] = {
        {"no row selected", -1, "unread", {}},
        {"empty cell", 0, "", {512}},
        {"short address", 2, "http://qzs.qq.com/a/b.swf", {512}},
        {"510 bytes fits the first buffer", 0, std::string(510, 'a'), {512}},
        {"511 bytes fill it, so read again", 0, std::string(511, 'b'), {512, 1024}},
        {"512 bytes", 1, std::string(512, 'c'), {512, 1024}},
        {"1023 bytes", 0, std::string(1023, 'd'), {512, 1024, 2048}},
        {"5000 bytes", 4, std::string(5000, 'e'), {512, 1024, 2048, 4096, 8192}},
        {"bytes of 0x80 and above", 0, "http://a/" + high_bytes(700) + ".swf", {512, 1024}},
        {"hint row", 1, "在此点击鼠标右键复制地址", {512}},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        Log log;
        FakeList list(log);
        list.selected = c.selected;
        list.addresses[c.selected] = c.address;
        const Text text = read_selected_address(list);
        EXPECT_EQ(text.view(), c.selected < 0 ? std::string() : c.address);
        EXPECT_EQ(std::strlen(text.c_str()), text.size());
        EXPECT_EQ(list.read_sizes, c.read_sizes);
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.front(), "selected_row");
        for (std::size_t i = 1; i < log.size(); ++i)
            EXPECT_EQ(log[i], "cell_text " + std::to_string(c.selected) + " 1");
    }
}

// A list that reports lengths it could not have copied is held to the buffer.
class ClaimingList final : public ResultCells {
public:
    int claim;
    explicit ClaimingList(int c) : claim(c) {}
    int selected_row() override { return 0; }
    int read_cell(int, int, char* buffer, int size) override
    {
        std::memset(buffer, 'x', static_cast<std::size_t>(size - 1));
        buffer[size - 1] = '\0';
        const int reported = claim;
        claim = 3;  // the second read ends it
        return reported;
    }
};

TEST(ReadSelectedAddress, ReportedLengthsOutsideTheBufferAreBounded)
{
    const struct {
        const char* name;
        int claim;
        std::size_t expected;
    } cases[] = {
        {"negative", -7, 0},
        {"past the buffer", 100000, 3},
        {"exactly size - 1", 511, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClaimingList list(c.claim);
        const Text text = read_selected_address(list);
        EXPECT_EQ(text.size(), c.expected);
        EXPECT_EQ(text.view(), std::string(c.expected, 'x'));
    }
}

}  // namespace
}  // namespace qz::test
