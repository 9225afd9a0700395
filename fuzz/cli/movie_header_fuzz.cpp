// libFuzzer target of the movie header reader: any bytes, read as a whole
// file and as the prefix of a longer one; never a read past them, always a
// header or a one-line reason.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "movie_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (std::uint64_t file_length : {std::uint64_t(size), std::uint64_t(size) + 4096}) {
        qz::MovieReading r = qz::read_movie_header(bytes, file_length);
        if (r.header.has_value() == !r.failure.empty())
            std::abort();
        if (r.failure.find('\n') != std::string::npos)
            std::abort();
        if (r.header && r.header->file_length != file_length)
            std::abort();
    }
    return 0;
}
