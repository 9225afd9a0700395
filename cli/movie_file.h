// A movie's header read from a file on disk.
#pragma once

#include <string>

#include "movie_header.h"

namespace qz::cli {

// Reads the first bytes of the file at `path` (a UTF-8 name; wide calls on
// Windows) and its header; a file that cannot be read fails with the reason.
MovieReading read_movie_file(const std::string& path);

// The header as one line of text: "FWS version 10, declared 1234 bytes, ...".
std::string describe_header(const MovieHeader& header);

}  // namespace qz::cli
