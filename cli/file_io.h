// The few file operations the commands need, over UTF-8 names (the wide
// calls on Windows, so any name the disk allows can be reached).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace qz::cli {

// At most `limit` bytes from the start of the file into `prefix`, and the
// file's whole length; false with `error` set when it cannot be read.
bool read_file_prefix(const std::string& path, std::size_t limit, std::string& prefix, std::uint64_t& length,
                      std::string& error);

// fopen(path, "rb") by a UTF-8 name.
std::FILE* open_for_reading(const std::string& path);

}  // namespace qz::cli
