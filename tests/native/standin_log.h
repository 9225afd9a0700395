// The stand-in service's request log, as a test in the sandbox reads it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qz::test {

// The log's size now; a later requests_since(size) gives what came after.
std::size_t standin_log_size();

// The requests recorded from byte `offset` of the log on, each exactly as
// the service received it.
std::vector<std::string> requests_since(std::size_t offset);

}  // namespace qz::test
