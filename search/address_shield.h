// The address carried as plain ASCII through a URL parser that would mangle
// or refuse some of its bytes, and its parts restored afterwards.
#pragma once

#include <string>
#include <string_view>

namespace qz {

// The address with '%', control bytes, the space and bytes of 0x7F and above
// written %XX (upper-case hex); every other byte as it is.
std::string shielded(const char* address);

// The part with every %XX (either case of hex) turned back into its byte;
// a '%' not followed by two hex digits stays as it is.
std::string restored(std::string_view part);

}  // namespace qz
