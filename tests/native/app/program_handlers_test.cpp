// The handlers' dispatch over recording fakes of the window and the ports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/recording_fakes.h"
#include "recording_rows.h"
#include "scripted_transport.h"
#include "program_handlers.h"
#include "result_actions.h"

namespace {

using qz::test::Log;

Log* g_log = nullptr;  // for the two plain-function ports

void record_skin_step(int skin_number) { g_log->push_back("skin " + std::to_string(skin_number)); }
void record_shell_open(const char* address) { g_log->push_back(std::string("shell_open ") + address); }

class FakeAccount final : public qz::AccountBox {
public:
    explicit FakeAccount(Log& log) : log_(log) {}
    std::string text_;
    qz::Text text() override
    {
        log_.push_back("account text");
        return qz::Text(text_);
    }
    void set_text(const char* text) override
    {
        log_.push_back(std::string("account set_text '") + text + "'");
        text_ = text;
    }

private:
    Log& log_;
};

class FakeWindow final : public qz::HandlerWindow {
public:
    explicit FakeWindow(Log& log) : account_(log), list_(log), preview_(log), menu_(log), log_(log)
    {
        rows_.log = &log;
    }
    FakeAccount account_;
    RecordingRows rows_;
    qz::test::FakeList list_;
    qz::test::FakePreview preview_;
    qz::test::FakeMenu menu_;

    qz::AccountBox& account() override { return account_; }
    qz::ResultList& results() override { return rows_; }
    void end_fill() override { log_.push_back("end_fill"); }
    qz::ActionControls action_controls() override
    {
        log_.push_back("action_controls");
        return {list_, preview_, menu_};
    }
    void focus(qz::Control control) override
    {
        log_.push_back(control == qz::Control::search ? "focus search" : "focus other");
    }

private:
    Log& log_;
};

struct Program {
    Log log;
    FakeWindow window{log};
    ScriptedTransport transport;
    qz::Text page_text;
    qz::test::FakeClipboard clipboard{log};
    qz::test::FakeNotices notices{log};
    qz::HandlerPorts ports{window, transport, page_text, clipboard, notices, record_skin_step, record_shell_open};

    Program()
    {
        g_log = &log;
        window.account_.text_ = "608317";
        window.list_.selected = 0;
        window.list_.addresses[0] = "http://host/a.swf";
        window.menu_.cursor_x = 10;
        window.menu_.cursor_y = 20;
    }
    ~Program() { g_log = nullptr; }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
};

TEST(ProgramHandlers, EachHandlerReachesItsPorts)
{
    struct Case {
        qz::Handler handler;
        int key_code;
        Log expected;
        bool fetches;
    };
    const Case cases[] = {
        {qz::Handler::none, 0, {}, false},
        {qz::Handler::created, 0, {"skin 5", "shell_open www.qzflash.example", "focus search"}, false},
        {qz::Handler::destroying, 0, {"shell_open www.qzflash.example"}, false},
        {qz::Handler::search, 0, {"remove_all", "account text", "end_fill"}, true},
        {qz::Handler::account_key, 13, {"remove_all", "account text", "end_fill"}, true},
        // Any other key still ends the (empty) fill, which does nothing then.
        {qz::Handler::account_key, 65, {"end_fill"}, false},
        {qz::Handler::account_focus, 0, {"account set_text ''"}, false},
        {qz::Handler::context_menu, 0, {"action_controls", "cursor", "popup_at"}, false},
        {qz::Handler::preview, 0, {"action_controls", "selected_row", "cell_text 0 1", "set_address"}, false},
        {qz::Handler::copy, 0, {"action_controls", "selected_row", "cell_text 0 1", "put_text", "show copied"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.handler));
        SCOPED_TRACE(c.key_code);
        Program program;
        qz::EventArgs args;
        args.key_code = c.key_code;
        qz::run_handler(c.handler, args, program.ports);
        EXPECT_EQ(program.log, c.expected);
        EXPECT_EQ(!program.transport.calls.empty(), c.fetches);
    }
}

TEST(ProgramHandlers, ActionsReachTheirControls)
{
    Program program;
    qz::run_handler(qz::Handler::context_menu, {}, program.ports);
    qz::run_handler(qz::Handler::preview, {}, program.ports);
    qz::run_handler(qz::Handler::copy, {}, program.ports);
    using Point = qz::test::FakeMenu::Point;
    EXPECT_EQ(program.window.menu_.popped_at, (std::vector<Point>{{10 + qz::kMenuOffset, 20 + qz::kMenuOffset}}));
    EXPECT_EQ(program.window.preview_.addresses, std::vector<std::string>{"http://host/a.swf"});
    EXPECT_EQ(program.clipboard.content, "http://host/a.swf");
}

TEST(ProgramHandlers, SearchStoresThePageText)
{
    Program program;
    program.transport.body = "page";
    program.transport.length = "4";
    qz::run_handler(qz::Handler::search, {}, program.ports);
    EXPECT_EQ(std::string(program.page_text.c_str()), "page");
}

// What a toolkit's handlers own: its ports, readied for each handler.
struct RecordingOwned {
    static constexpr auto shell_open = record_shell_open;
    qz::test::FakeClipboard clipboard{*g_log};
    qz::test::FakeNotices notices{*g_log};
    void prepare(qz::Handler, FakeWindow&) { g_log->push_back("prepare"); }
};

TEST(ProgramHandlers, SinkReadiesItsOwnPortsThenDispatches)
{
    Program program;  // for the log and the window
    ScriptedTransport transport;
    qz::Text page_text;
    qz::BasicProgramHandlers<FakeWindow, RecordingOwned> handlers(transport, page_text, record_skin_step);
    handlers.attach(program.window);
    qz::EventSink& sink = handlers;
    sink.run(qz::Handler::created, {});
    sink.run(qz::Handler::copy, {});
    const Log expected = {"prepare",      "skin 5",        "shell_open www.qzflash.example",
                          "focus search", "prepare",       "action_controls",
                          "selected_row", "cell_text 0 1", "put_text",
                          "show copied"};
    EXPECT_EQ(program.log, expected);
    EXPECT_TRUE(transport.calls.empty());
}

}  // namespace
