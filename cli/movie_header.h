// The header of a Flash movie: signature, version, lengths, stage, frames and
// the background colour, read from the movie's first bytes only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qz {

struct MovieHeader {
    std::string signature;  // "FWS", "CWS" or "ZWS"
    int version = 0;
    std::uint32_t declared_length = 0;  // the movie's own length field (uncompressed)
    std::uint64_t file_length = 0;      // bytes the file really has
    // Stage rectangle in twips (1/20 pixel), as stored.
    std::int32_t x_min = 0, x_max = 0, y_min = 0, y_max = 0;
    double frame_rate = 0;  // frames per second (8.8 fixed point)
    std::uint16_t frame_count = 0;
    std::optional<std::uint32_t> background;  // 0xRRGGBB

    double width_px() const { return (static_cast<double>(x_max) - x_min) / 20.0; }
    double height_px() const { return (static_cast<double>(y_max) - y_min) / 20.0; }
};

struct MovieReading {
    std::optional<MovieHeader> header;  // absent when `failure` says why
    std::string failure;                // one line; empty on success
};

// Bytes of a file read from its start that are enough for any header: the
// decoders stop long before, and a caller that has more need not pass it.
inline constexpr std::size_t kMovieHeaderWindow = std::size_t(1) << 20;

// Reads the header from `prefix`, the first bytes of a file of `file_length`
// bytes in all (prefix.size() <= file_length). Compressed movies are inflated
// only as far as the header and the first tags go; nothing past `prefix` is
// ever touched. A truncated movie or anything that is not a movie fails.
MovieReading read_movie_header(std::string_view prefix, std::uint64_t file_length);

// Whether this build can inflate ZWS (LZMA) movies.
bool movie_lzma_available();

}  // namespace qz
