// The page fetch algorithm, independent of the HTTP client beneath it.
#include "fetch.h"

#include <cstdlib>
#include <memory>

namespace qz {

std::size_t chunk_size_for(const std::optional<std::string>& content_length)
{
    if (!content_length)
        return kDefaultChunk;
    const char* p = content_length->c_str();
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    // Saturate instead of overflowing: anything past the largest chunk is alike.
    unsigned long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (value < kLargestChunk)
            value = value * 10 + static_cast<unsigned>(*p - '0');
    if (negative || value == 0)
        return kDefaultChunk;
    return value + 1 < kLargestChunk ? static_cast<std::size_t>(value + 1) : kLargestChunk;
}

std::string request_object(std::string_view object)
{
    object = object.substr(0, object.find('#'));
    std::string out;
    out.reserve(object.size());
    for (char c : object) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F) {
            static constexpr char hex[] = "0123456789ABCDEF";
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

ByteSet fetch_page(std::string_view address, PageTransport& transport, ChunkAllocator allocate_chunk)
{
    ByteSet body;
    if (address.empty())
        return body;
    AddressParts parts;
    std::string zero_terminated(address);
    if (!transport.split_address(zero_terminated.c_str(), parts))
        return body;
    if (!transport.session_open() && !transport.open_session())
        return body;

    if (!transport.connect(parts))
        return body;
    transport.set_proxy_options();
    if (!transport.open_request(request_object(parts.object).c_str())) {
        transport.close_connection();
        return body;
    }
    if (!transport.send_request()) {
        transport.close_request();
        transport.close_connection();
        return body;
    }

    std::size_t chunk_size = chunk_size_for(transport.content_length());
    std::unique_ptr<void, void (*)(void*)> chunk(
        allocate_chunk ? allocate_chunk(chunk_size) : std::malloc(chunk_size), std::free);
    if (chunk) {
        std::size_t got = 0;
        while (transport.read(chunk.get(), chunk_size, got) && got != 0)
            body.append(chunk.get(), got);
    }
    transport.close_request();
    transport.close_connection();
    return body;
}

}  // namespace qz
