// The form's rules that are code: tab order, window keys, key codes, bindings, centring, report text.
#include <gtest/gtest.h>

#include <string>

#include "exit_routine.h"
#include "form.h"

namespace qz {
namespace {

TEST(Form, TabNeighbours)
{
    const struct {
        Control from;
        bool backwards;
        Control to;
    } cases[] = {
        {Control::account, false, Control::search},
        {Control::search, false, Control::results},
        {Control::results, false, Control::account},
        {Control::account, true, Control::results},
        {Control::search, true, Control::account},
        {Control::results, true, Control::search},
        // Outside the cycle (the window itself, the label, the frame, the preview).
        {Control::count, false, Control::account},
        {Control::label, false, Control::account},
        {Control::preview, true, Control::results},
        {Control::frame, true, Control::results},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.from)) + (c.backwards ? " back" : " forward"));
        EXPECT_EQ(tab_neighbour(c.from, c.backwards), c.to);
    }
}

TEST(Form, WindowKeys)
{
    const struct {
        int key, modifiers;
        KeyAction action;
    } cases[] = {
        {0x09, 0, KeyAction::next_control},
        {0x09, kShift, KeyAction::previous_control},
        {0x09, kCtrl, KeyAction::pass},
        {0x09, kAlt, KeyAction::pass},
        {0x09, kCtrl | kShift, KeyAction::pass},
        {0x1B, 0, KeyAction::close},
        {0x1B, kShift, KeyAction::pass},
        {0x1B, kCtrl, KeyAction::pass},
        {0x0D, 0, KeyAction::pass},
        {0x70, 0, KeyAction::pass},  // Enter, F1
        {'S', kAlt, KeyAction::pass},
        {0x25, 0, KeyAction::pass},  // Alt+S, left arrow
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " mod " + std::to_string(c.modifiers));
        EXPECT_EQ(window_key_action(c.key, c.modifiers), c.action);
    }
}

TEST(Form, ReportedKeyCodes)
{
    const struct {
        int key, code;
    } cases[] = {
        {0x60, 48},  {0x65, 53},  {0x69, 57},   // keypad digits
        {0x6D, 189}, {0x6E, 190}, {0x6F, 191},  // keypad minus, decimal, slash
        {0x0D, 13},  {'0', '0'},  {'A', 'A'},  {0xBD, 189}, {0x6A, 0x6A}, {0x6B, 0x6B}, {0x2D, 0x2D},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(reported_key_code(c.key), c.code);
    }
}

TEST(Form, Bindings)
{
    const struct {
        Control control;
        Event event;
        int item;
        Handler handler;
    } cases[] = {
        {Control::count, Event::created, 0, Handler::created},
        {Control::count, Event::destroying, 0, Handler::destroying},
        {Control::search, Event::clicked, 0, Handler::search},
        {Control::account, Event::key_pressed, 0, Handler::account_key},
        {Control::account, Event::got_focus, 0, Handler::account_focus},
        {Control::results, Event::right_pressed, 0, Handler::context_menu},
        {Control::results, Event::double_clicked, 0, Handler::preview},
        {Control::count, Event::selected, 1, Handler::preview},
        {Control::count, Event::selected, 2, Handler::copy},
        // Everything else does nothing.
        {Control::count, Event::selected, 3, Handler::none},
        {Control::search, Event::key_pressed, 0, Handler::none},
        {Control::search, Event::got_focus, 0, Handler::none},
        {Control::results, Event::key_pressed, 0, Handler::none},
        {Control::account, Event::right_pressed, 0, Handler::none},
        {Control::label, Event::clicked, 0, Handler::none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.control)) + "/" + std::to_string(static_cast<int>(c.event)));
        EXPECT_EQ(bound_handler(c.control, c.event, c.item), c.handler);
    }
}

TEST(Form, CentredEdges)
{
    const struct {
        int screen, window, edge;
    } cases[] = {
        {1024, 645, 189}, {768, 473, 147}, {1920, 645, 637}, {1080, 473, 303},
        {645, 645, 0},    {640, 645, -2},  {400, 473, -36},  {0, 645, -322},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.screen) + " " + std::to_string(c.window));
        EXPECT_EQ(centred_edge(c.screen, c.window), c.edge);
    }
}

TEST(Form, FatalReportText)
{
    EXPECT_EQ(fatal_report_text("载入启动窗口失败"), "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
    EXPECT_EQ(fatal_report_text(""), "运行时出错!\r\n\r\n错误信息：\r\n");
}

TEST(Form, HomePageIsABareHostName)
{
    const std::string home = kPublisherHomePage;
    EXPECT_EQ(home.find("://"), std::string::npos);
    EXPECT_EQ(home.find('/'), std::string::npos);
    EXPECT_EQ(home.rfind("www.", 0), 0u);  // the shell opens a bare name only so
}

TEST(Form, ControlsAndTheirParents)
{
    for (const ControlForm& form : kControls) {
        SCOPED_TRACE(form.name);
        EXPECT_EQ(form.parent, form.kind == ControlKind::html_view ? Control::frame : Control::count);
        EXPECT_EQ(form.enabled, form.kind != ControlKind::html_view);
    }
}

TEST(ExitRoutine, ReleasesThePageTextOnce)
{
    Text absent;
    EXPECT_FALSE(release_page_text(absent));
    Text page("<html>");
    EXPECT_TRUE(release_page_text(page));
    EXPECT_TRUE(page.absent());
    EXPECT_FALSE(release_page_text(page));
    Text empty("");  // an empty page after a failed fetch is still a page text
    EXPECT_TRUE(release_page_text(empty));
}

}  // namespace
}  // namespace qz
