// The Content-Length reading against strtoll, which reads the same syntax.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "fetch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string header(reinterpret_cast<const char*>(data), size);
    header = header.substr(0, header.find('\0'));
    if (header.size() >= qz::kContentLengthRoom)
        return 0;  // such a header never reaches the parser
    long long value = std::strtoll(header.c_str(), nullptr, 10);
    std::size_t expected = value > 0 ? (value >= 102399 ? 102400 : static_cast<std::size_t>(value) + 1) : 10240;
    if (qz::chunk_size_for(header) != expected)
        std::abort();
    return 0;
}
