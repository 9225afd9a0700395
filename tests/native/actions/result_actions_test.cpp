// The result actions over recording fakes: order of effects and every outcome.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_fakes.h"
#include "result_actions.h"

namespace qz::test {
namespace {

const char kHint[] = "在此点击鼠标右键复制地址";

// The main window's three hint rows: only row 1 has an address.
void put_hint_rows(FakeList& list) { list.addresses = {{0, ""}, {1, kHint}, {2, ""}}; }

struct Fakes {
    Log log;
    FakeList list{log};
    FakePreview preview{log};
    FakeClipboard clipboard{log};
    FakeNotices notices{log};
    FakeMenu menu{log};
    ActionControls controls{list, preview, menu};
};

TEST(ContextMenuPopup, OpensThreePixelsRightOfAndBelowThePointerAndReadsNothing)
{
    const struct {
        const char* name;
        FakeMenu::Point pointer;
        FakeMenu::Point menu;
        // clang-format off: one case a line reads as a table
    } cases[] = {
        {"origin", {0, 0}, {3, 3}},
        {"middle of the screen", {400, 300}, {403, 303}},
        {"left of a second screen", {-50, 20}, {-47, 23}},
        {"above the screen", {10, -9}, {13, -6}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fakes f;
        f.list.selected = 0;
        f.menu.cursor_x = c.pointer.x;
        f.menu.cursor_y = c.pointer.y;
        pop_up_context_menu(f.controls);
        EXPECT_EQ(f.log, (Log{"cursor", "popup_at"}));
        ASSERT_EQ(f.menu.popped_at.size(), 1u);
        EXPECT_EQ(f.menu.popped_at[0], c.menu);
    }
}

TEST(PreviewAction, HandsTheSelectedAddressToTheView)
{
    const struct {
        const char* name;
        int selected;
        bool hint_rows;
        std::string address;
        std::string expected;
        Log log;
        // clang-format off: one case a line reads as a table
    } cases[] = {
        {"a module row",
         3,
         false,
         "http://qzs.qq.com/x.swf",
         "http://qzs.qq.com/x.swf",
         {"selected_row", "cell_text 3 1", "set_address"}},
        {"the hint row", 1, true, "", kHint, {"selected_row", "cell_text 1 1", "set_address"}},
        {"an empty hint row", 2, true, "", "", {"selected_row", "cell_text 2 1", "set_address"}},
        {"nothing selected (also an empty list)", -1, false, "", "", {"selected_row", "set_address"}},
        {"longer than 511 bytes",
         0,
         false,
         std::string(900, 'q'),
         std::string(900, 'q'),
         {"selected_row", "cell_text 0 1", "cell_text 0 1", "set_address"}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fakes f;
        if (c.hint_rows)
            put_hint_rows(f.list);
        else if (c.selected >= 0)
            f.list.addresses[c.selected] = c.address;
        f.list.selected = c.selected;
        preview_selected(f.controls);
        EXPECT_EQ(f.log, c.log);
        EXPECT_EQ(f.preview.addresses, std::vector<std::string>{c.expected});
        EXPECT_EQ(f.clipboard.content, "before");
        EXPECT_TRUE(f.notices.shown.empty());
    }
}

TEST(PreviewAction, TheSameRowTwiceNavigatesTwice)
{
    Fakes f;
    put_hint_rows(f.list);
    f.list.selected = 1;
    preview_selected(f.controls);
    preview_selected(f.controls);
    EXPECT_EQ(f.preview.addresses, (std::vector<std::string>{kHint, kHint}));
}

struct CopyCase {
    const char* name;
    int selected;
    bool hint_rows;
    std::string address;
    CopyOutcome outcome;
    Log log;
    std::string clipboard_after;
    std::vector<Notice> shown;
};

TEST(CopyAction, PutsTheAddressOnTheClipboardAndSaysWhetherItGotThere)
{
    const std::string long_high = "http://a/" + std::string(600, '\xB0') + "\x80\xFF.swf";
    const Log full = {"selected_row", "cell_text 0 1", "put_text", "show copied"};
    const Log failed = {"selected_row", "cell_text 0 1", "put_text", "show copy_failed"};
    // clang-format off: one case a line reads as a table
    const CopyCase cases[] = {
        {"copied",
         0,
         false,
         "http://qzs.qq.com/m.swf",
         CopyOutcome::copied,
         full,
         "http://qzs.qq.com/m.swf",
         {Notice::copied}},
        {"long, with bytes of 0x80 and above",
         0,
         false,
         long_high,
         CopyOutcome::copied,
         {"selected_row", "cell_text 0 1", "cell_text 0 1", "put_text", "show copied"},
         long_high,
         {Notice::copied}},
        {"clipboard held by another program",
         0,
         false,
         "http://a/b.swf",
         CopyOutcome::clipboard_busy,
         failed,
         "before",
         {Notice::copy_failed}},
        {"no memory for the text",
         0,
         false,
         "http://a/b.swf",
         CopyOutcome::no_memory,
         failed,
         "before",
         {Notice::copy_failed}},
        {"the clipboard refused the text",
         0,
         false,
         "http://a/b.swf",
         CopyOutcome::rejected,
         failed,
         "before",
         {Notice::copy_failed}},
        {"nothing selected", -1, false, "", CopyOutcome::copied, {"selected_row"}, "before", {}},
        {"empty address", 0, false, "", CopyOutcome::copied, {"selected_row", "cell_text 0 1"}, "before", {}},
        {"first hint row", 0, true, "", CopyOutcome::copied, {"selected_row", "cell_text 0 1"}, "before", {}},
        {"third hint row", 2, true, "", CopyOutcome::copied, {"selected_row", "cell_text 2 1"}, "before", {}},
        {"the hint row is a row like any other",
         1,
         true,
         "",
         CopyOutcome::copied,
         {"selected_row", "cell_text 1 1", "put_text", "show copied"},
         kHint,
         {Notice::copied}},
    };
    // clang-format on
    for (const CopyCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fakes f;
        if (c.hint_rows)
            put_hint_rows(f.list);
        else if (c.selected >= 0)
            f.list.addresses[c.selected] = c.address;
        f.list.selected = c.selected;
        f.clipboard.outcome = c.outcome;
        copy_selected(f.controls, f.clipboard, f.notices);
        EXPECT_EQ(f.log, c.log);
        EXPECT_EQ(f.clipboard.content, c.clipboard_after);
        EXPECT_EQ(f.notices.shown, c.shown);
        EXPECT_TRUE(f.preview.addresses.empty());
    }
}

TEST(CopyAction, TwoCopiesLeaveTheSecond)
{
    Fakes f;
    f.list.addresses = {{0, "http://a/first.swf"}, {1, "http://a/second.swf"}};
    f.list.selected = 0;
    copy_selected(f.controls, f.clipboard, f.notices);
    f.list.selected = 1;
    copy_selected(f.controls, f.clipboard, f.notices);
    EXPECT_EQ(f.clipboard.content, "http://a/second.swf");
    EXPECT_EQ(f.notices.shown, (std::vector<Notice>{Notice::copied, Notice::copied}));
}

}  // namespace
}  // namespace qz::test
