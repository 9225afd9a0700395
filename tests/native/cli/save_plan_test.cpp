// save's options, one module per distinct address, and the manifest merge.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "save_plan.h"

namespace {

using namespace qz::cli;

std::optional<SaveOptions> parse(std::vector<std::string> args, std::string& problem)
{
    std::vector<char*> argv;
    argv.reserve(args.size());
    for (auto& a : args)
        argv.push_back(a.data());
    return parse_save_options(static_cast<int>(argv.size()), argv.data(), problem);
}

TEST(SavePlan, OptionsAndUsageErrors)
{
    std::string problem;
    auto o = parse({"--out", "d", "--jobs", "8", "--rate", "0", "--retries", "0", "--max-size", "1M", "--stall-timeout",
                    "2.5", "--quiet", "--json", "1", "2"},
                   problem);
    ASSERT_TRUE(o) << problem;
    EXPECT_EQ(o->out, "d");
    EXPECT_EQ(o->jobs, 8);
    EXPECT_EQ(o->rate, 0);
    EXPECT_EQ(o->retries, 0);
    EXPECT_EQ(o->max_size, 1u << 20);
    EXPECT_EQ(o->stall_timeout, 2.5);
    EXPECT_TRUE(o->quiet && o->json);
    EXPECT_EQ(o->accounts, (std::vector<std::string>{"1", "2"}));

    struct Case {
        std::vector<std::string> args;
        const char* problem;
    } bad[] = {
        {{}, "accounts"},
        {{"--out"}, "needs a value"},
        {{"--jobs", "0", "1"}, "--jobs"},
        {{"--jobs", "2.5", "1"}, "--jobs"},
        {{"--jobs", "x", "1"}, "number"},
        {{"--rate", "-1", "1"}, "number"},
        {{"--retries", "99", "1"}, "--retries"},
        {{"--max-size", "0", "1"}, "--max-size"},
        {{"--max-size", "12Q", "1"}, "--max-size"},
        {{"--max-size", "99999999999999999999G", "1"}, "--max-size"},
        {{"--bogus", "1"}, "unknown option"},
    };
    for (auto& c : bad) {
        SCOPED_TRACE(c.problem);
        problem.clear();
        EXPECT_FALSE(parse(c.args, problem));
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
}

TEST(SavePlan, OneModulePerAddressWithEveryAccount)
{
    std::vector<Module> modules;
    add_page_modules(modules, {"http://h/a.swf", "http://h/b.swf", "http://h/a.swf"}, "1", "page1");
    add_page_modules(modules, {"http://h/b.swf"}, "2", "page2");
    ASSERT_EQ(modules.size(), 2u);
    EXPECT_EQ(modules[0].address, "http://h/a.swf");
    EXPECT_EQ(modules[0].accounts, (std::vector<std::string>{"1"}));
    EXPECT_EQ(modules[1].accounts, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(modules[1].pages, (std::vector<std::string>{"page1", "page2"}));
    EXPECT_EQ(modules[1].name, "h/b.swf");
}

TEST(SavePlan, ManifestMerge)
{
    std::vector<Module> first;
    add_page_modules(first, {"http://h/a.swf"}, "1", "p1");
    first[0].result.done = true;
    first[0].result.file = "h/a.swf";
    first[0].result.length = 10;
    first[0].result.sha256 = std::string(64, 'a');
    first[0].result.status = 200;
    nlohmann::json manifest = merged_manifest(nullptr, first);
    auto known = known_file(manifest, "http://h/a.swf");
    ASSERT_TRUE(known);
    EXPECT_EQ(known->file, "h/a.swf");
    EXPECT_EQ(known->length, 10u);

    // A later failure keeps the saved file's record; accounts add up.
    std::vector<Module> second;
    add_page_modules(second, {"http://h/a.swf", "http://h/\xc4\xa3.swf"}, "2", "p2");
    second[0].result.failure = "HTTP status 404";
    second[1].result.failure = "HTTP status 500";
    manifest = merged_manifest(manifest, second);
    EXPECT_EQ(manifest["modules"].size(), 2u);
    known = known_file(manifest, "http://h/a.swf");
    ASSERT_TRUE(known);
    EXPECT_EQ(known->sha256, std::string(64, 'a'));
    auto& entry = manifest["modules"][std::string("687474703a2f2f682f612e737766")];
    EXPECT_EQ(entry["failure"], "HTTP status 404");
    EXPECT_EQ(entry["accounts"], nlohmann::json::parse(R"(["2","1"])"));
    EXPECT_EQ(manifest["modules"]["687474703a2f2f682fc4a32e737766"]["address"], "http://h/\xe6\xa8\xa1.swf");

    // Anything that is not a manifest starts a new one.
    for (const char* text : {"[]", "{\"modules\": 3}", "\"x\""}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(merged_manifest(nlohmann::json::parse(text), first)["modules"].size(), 1u);
        EXPECT_FALSE(known_file(nlohmann::json::parse(text), "http://h/a.swf"));
    }
}

}  // namespace
