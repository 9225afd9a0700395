// The text split: cutting a text at every occurrence of a delimiter.
#pragma once

#include <string_view>
#include <vector>

namespace qz {

// Cuts `text` at every occurrence of `delimiter` (non-empty), left to right,
// testing only at character starts: a byte of 0x80 or above takes the next
// byte as its partner and the pair is stepped over whole. Every occurrence
// ends a member, empty or not; an empty remainder after the last one gives
// no member. The members are views into `text`.
std::vector<std::string_view> text_split(std::string_view text, std::string_view delimiter);

}  // namespace qz
