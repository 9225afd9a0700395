// The JSON forms printed by --json and kept in the manifest.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "movie_header.h"

namespace qz::cli {

// The bytes as lower-case hex, two digits each.
std::string hex_of(std::string_view bytes);

// Adds an address (GBK bytes) to `object`: "address", its UTF-8 form (shown
// with \u escapes), and "address_hex", the raw bytes.
void put_address(nlohmann::json& object, std::string_view address);

// A movie header's fields; the background as "#RRGGBB" or null.
nlohmann::json header_json(const MovieHeader& header);

// One document on standard output, non-ASCII written as \u escapes so that
// any console code page shows it unharmed.
void print_json(const nlohmann::json& document);

}  // namespace qz::cli
