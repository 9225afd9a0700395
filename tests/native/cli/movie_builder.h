// Small Flash movies built in memory for the header reader's tests.
#pragma once

#include <lzma.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace movie {

inline std::string le16(unsigned v) { return {char(v & 0xFF), char(v >> 8 & 0xFF)}; }
inline std::string le32(std::uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

// RECT: 5 bits of field size, then four signed fields, big-endian bits.
inline std::string rect(int x_min, int x_max, int y_min, int y_max, unsigned bits = 16)
{
    std::vector<int> out;
    auto put = [&](std::uint32_t v, unsigned n) {
        for (unsigned i = n; i-- > 0;)
            out.push_back(static_cast<int>(v >> i & 1u));
    };
    put(bits, 5);
    for (int v : {x_min, x_max, y_min, y_max})
        put(static_cast<std::uint32_t>(v), bits);
    while (out.size() % 8)
        out.push_back(0);
    std::string bytes;
    for (std::size_t i = 0; i < out.size(); i += 8) {
        int b = 0;
        for (int j = 0; j < 8; ++j)
            b = b << 1 | out[i + static_cast<std::size_t>(j)];
        bytes += static_cast<char>(b);
    }
    return bytes;
}

inline std::string tag(int code, const std::string& body, bool long_form = false)
{
    if (!long_form && body.size() < 0x3F)
        return le16(static_cast<unsigned>(code << 6) | static_cast<unsigned>(body.size())) + body;
    return le16(static_cast<unsigned>(code << 6) | 0x3F) + le32(static_cast<std::uint32_t>(body.size())) + body;
}

inline std::string background(unsigned rgb)
{
    return tag(9, {char(rgb >> 16 & 0xFF), char(rgb >> 8 & 0xFF), char(rgb & 0xFF)});
}

// What follows the 8-byte preamble: stage, rate (8.8), count, tags.
inline std::string body(const std::string& stage, unsigned rate_fixed, unsigned frames, const std::string& tags)
{
    return stage + le16(rate_fixed) + le16(frames) + tags + tag(0, "");
}

inline std::string fws(const std::string& b, int version = 10)
{
    return "FWS" + std::string(1, char(version)) + le32(static_cast<std::uint32_t>(8 + b.size())) + b;
}

inline std::string cws(const std::string& b, int version = 10)
{
    uLongf size = compressBound(static_cast<uLong>(b.size()));
    std::string z(size, '\0');
    compress(reinterpret_cast<Bytef*>(z.data()), &size, reinterpret_cast<const Bytef*>(b.data()),
             static_cast<uLong>(b.size()));
    z.resize(size);
    return "CWS" + std::string(1, char(version)) + le32(static_cast<std::uint32_t>(8 + b.size())) + z;
}

// ZWS: preamble, compressed length, 5 LZMA property bytes, raw LZMA data.
inline std::string zws(const std::string& b, int version = 13)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_alone_encoder(&stream, &options) != LZMA_OK)
        return {};
    std::string out(b.size() + 1024, '\0');
    stream.next_in = reinterpret_cast<const std::uint8_t*>(b.data());
    stream.avail_in = b.size();
    stream.next_out = reinterpret_cast<std::uint8_t*>(out.data());
    stream.avail_out = out.size();
    while (lzma_code(&stream, LZMA_FINISH) == LZMA_OK) {
    }
    out.resize(out.size() - stream.avail_out);
    lzma_end(&stream);
    std::string props = out.substr(0, 5), data = out.substr(13);
    return "ZWS" + std::string(1, char(version)) + le32(static_cast<std::uint32_t>(8 + b.size())) +
           le32(static_cast<std::uint32_t>(data.size())) + props + data;
}

}  // namespace movie
