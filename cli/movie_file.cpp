// A movie's header read from a file on disk.
#include "movie_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "file_io.h"

namespace qz::cli {

MovieReading read_movie_file(const std::string& path)
{
    std::string error;
    std::string prefix;
    std::uint64_t length = 0;
    if (!read_file_prefix(path, kMovieHeaderWindow, prefix, length, error))
        return {std::nullopt, "cannot read it: " + error};
    return read_movie_header(prefix, length);
}

namespace {

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

std::string describe_header(const MovieHeader& header)
{
    std::string line = header.signature + " version " + std::to_string(header.version) + ", declared " +
                       std::to_string(header.declared_length) + " bytes, file " + std::to_string(header.file_length) +
                       " bytes, stage " + number(header.width_px()) + " x " + number(header.height_px()) + " px, " +
                       number(header.frame_rate) + " fps, " + std::to_string(header.frame_count) +
                       (header.frame_count == 1 ? " frame" : " frames");
    if (header.background) {
        char rgb[40];
        std::snprintf(rgb, sizeof rgb, ", background #%06X", static_cast<unsigned>(*header.background));
        line += rgb;
    }
    return line;
}

}  // namespace qz::cli
