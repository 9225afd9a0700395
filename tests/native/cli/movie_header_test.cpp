// The movie header reader: each signature, the background rule, and broken
// or cut files that must fail with a reason and never read past their end.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "movie_builder.h"
#include "movie_header.h"

namespace {

using namespace movie;

// Every read gets its own heap copy, so ASan sees any byte read past the end.
qz::MovieReading read_exact(const std::string& bytes)
{
    std::vector<char> copy(bytes.begin(), bytes.end());
    return qz::read_movie_header(std::string_view(copy.data(), copy.size()), copy.size());
}

const std::string kStage = rect(0, 11000, 0, 8000);  // 550 x 400 px
const std::string kShape = tag(2, std::string(20, '\x01'));
const std::string kPlain = body(kStage, 24 << 8, 3, background(0x336699) + kShape);

TEST(MovieHeader, ReadsEachSignature)
{
    struct Case {
        const char* name;
        std::string movie;
        const char* signature;
        int version;
    } cases[] = {
        {"FWS", fws(kPlain, 6), "FWS", 6},
        {"CWS", cws(kPlain, 10), "CWS", 10},
        {"ZWS", zws(kPlain, 13), "ZWS", 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto r = read_exact(c.movie);
        ASSERT_TRUE(r.header) << r.failure;
        EXPECT_EQ(r.header->signature, c.signature);
        EXPECT_EQ(r.header->version, c.version);
        EXPECT_EQ(r.header->declared_length, 8 + kPlain.size());
        EXPECT_EQ(r.header->file_length, c.movie.size());
        EXPECT_EQ(r.header->width_px(), 550);
        EXPECT_EQ(r.header->height_px(), 400);
        EXPECT_EQ(r.header->frame_rate, 24);
        EXPECT_EQ(r.header->frame_count, 3);
        EXPECT_EQ(r.header->background, 0x336699u);
    }
}

TEST(MovieHeader, StageRateAndBackgroundRule)
{
    const std::string metadata = tag(77, std::string(300, 'm'), true);
    struct Case {
        const char* name;
        std::string body;
        double width, height, rate;
        std::optional<std::uint32_t> background;
    } cases[] = {
        {"background first", body(kStage, 24 << 8, 1, background(0xFF0000)), 550, 400, 24, 0xFF0000},
        {"after file attributes", body(kStage, 24 << 8, 1, tag(69, le32(8)) + background(0x00FF00)), 550, 400, 24,
         0x00FF00},
        {"after long metadata", body(kStage, 24 << 8, 1, tag(69, le32(8)) + metadata + background(0x0000FF)), 550, 400,
         24, 0x0000FF},
        {"shape comes first", body(kStage, 24 << 8, 1, kShape + background(0x123456)), 550, 400, 24, std::nullopt},
        {"no tags", body(kStage, 24 << 8, 1, ""), 550, 400, 24, std::nullopt},
        {"background tag too short", body(kStage, 24 << 8, 1, tag(9, "ab")), 550, 400, 24, std::nullopt},
        {"background in long form", body(kStage, 24 << 8, 1, tag(9, "\x01\x02\x03", true)), 550, 400, 24, 0x010203},
        {"fractional rate", body(kStage, 0x0C80, 1, ""), 550, 400, 12.5, std::nullopt},
        {"negative origin", body(rect(-2000, 2000, -100, 900, 13), 30 << 8, 1, ""), 200, 50, 30, std::nullopt},
        {"zero-bit stage", body(rect(0, 0, 0, 0, 0), 1 << 8, 1, ""), 0, 0, 1, std::nullopt},
        {"31-bit fields", body(rect(0, 20 * 1000000, 0, 20 * 20, 31), 1 << 8, 1, ""), 1000000, 20, 1, std::nullopt},
    };
    for (const auto& c : cases) {
        for (const auto& movie : {fws(c.body), cws(c.body), zws(c.body)}) {
            SCOPED_TRACE(std::string(c.name) + " " + movie.substr(0, 3));
            auto r = read_exact(movie);
            ASSERT_TRUE(r.header) << r.failure;
            EXPECT_EQ(r.header->width_px(), c.width);
            EXPECT_EQ(r.header->height_px(), c.height);
            EXPECT_EQ(r.header->frame_rate, c.rate);
            EXPECT_EQ(r.header->background, c.background);
        }
    }
}

TEST(MovieHeader, BrokenFilesFailWithAReason)
{
    const std::string good_fws = fws(kPlain);
    const std::string good_cws = cws(kPlain);
    const std::string good_zws = zws(kPlain);
    std::string damaged_cws = good_cws;
    for (std::size_t i = 10; i < damaged_cws.size(); ++i)
        damaged_cws[i] = static_cast<char>(0xFF);
    std::string damaged_zws = good_zws;
    for (std::size_t i = 17; i < damaged_zws.size(); ++i)
        damaged_zws[i] = static_cast<char>(0xFF);
    std::string short_declared = good_fws;
    short_declared.replace(4, 4, le32(10));
    std::string zws_longer_data = good_zws;
    zws_longer_data.replace(8, 4, le32(100000));
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"empty", "", "not a Flash movie"},
        {"text", "hello, world\n", "not a Flash movie"},
        {"GIF", std::string("GIF89a\x01\x00\x01\x00", 10), "not a Flash movie"},
        {"lower-case signature", "fws\x0a" + le32(100), "not a Flash movie"},
        {"two bytes of a signature", "CW", "truncated"},
        {"preamble cut", good_fws.substr(0, 7), "truncated"},
        {"FWS cut in the stage", good_fws.substr(0, 9), "truncated"},
        {"FWS cut after the header", good_fws.substr(0, good_fws.size() - 1), "truncated: the movie declares"},
        {"declared shorter than the header", short_declared, "fewer than its own header"},
        {"CWS without data", good_cws.substr(0, 8), "truncated"},
        {"CWS cut in the stream", good_cws.substr(0, 12), "truncated"},
        {"CWS damaged", damaged_cws, "damaged"},
        {"ZWS without properties", good_zws.substr(0, 12), "truncated"},
        {"ZWS cut", good_zws.substr(0, good_zws.size() - 5), "truncated"},
        {"ZWS data shorter than its length field", zws_longer_data, "truncated"},
        {"ZWS damaged", damaged_zws, "damaged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto r = read_exact(c.bytes);
        EXPECT_FALSE(r.header);
        EXPECT_NE(r.failure.find(c.reason), std::string::npos) << r.failure;
        EXPECT_EQ(r.failure.find('\n'), std::string::npos);
    }
}

// Every cut of a movie either fails or reads the same header; none reads
// outside its bytes (ASan).
TEST(MovieHeader, EveryCutOfEachSignature)
{
    const std::string b = body(kStage, 24 << 8, 3, tag(69, le32(0)) + background(0x336699) + kShape);
    for (const auto& movie : {fws(b), cws(b), zws(b)}) {
        for (std::size_t n = 0; n < movie.size(); ++n) {
            SCOPED_TRACE(movie.substr(0, 3) + " cut at " + std::to_string(n));
            auto r = read_exact(movie.substr(0, n));
            if (movie[0] == 'F') {
                EXPECT_FALSE(r.header);
            }
            if (r.header)
                EXPECT_EQ(r.header->frame_count, 3);
            else
                EXPECT_FALSE(r.failure.empty());
        }
    }
}

// A file longer than the bytes handed over: the header comes from the
// prefix, the length from the file.
TEST(MovieHeader, PrefixOfALongerFile)
{
    std::string movie = fws(body(kStage, 24 << 8, 1, background(0xABCDEF) + std::string(5000, '\0')));
    auto r = qz::read_movie_header(std::string_view(movie).substr(0, 100), movie.size());
    ASSERT_TRUE(r.header) << r.failure;
    EXPECT_EQ(r.header->file_length, movie.size());
    EXPECT_EQ(r.header->background, 0xABCDEFu);
}

// A dictionary of 4 GiB in the LZMA properties must not be allocated.
TEST(MovieHeader, HugeLzmaDictionaryIsCapped)
{
    std::string movie = zws(kPlain);
    movie.replace(13, 4, le32(0xFFFFFFFFu));
    auto r = read_exact(movie);
    ASSERT_TRUE(r.header) << r.failure;
    EXPECT_EQ(r.header->background, 0x336699u);
}

}  // namespace
