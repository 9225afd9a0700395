// The page fetch algorithm, independent of the HTTP client beneath it.
#include "fetch.h"

#include <cstdlib>
#include <memory>

namespace qz {

long long content_length_value(const std::string& text)
{
    const char* p = text.c_str();
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    constexpr long long kCeiling = 1LL << 56;  // far past any length that matters, and ten times it fits
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (value < kCeiling)
            value = value * 10 + (*p - '0');
    return negative ? -value : value;
}

std::size_t chunk_size_for(const std::optional<std::string>& content_length)
{
    long long length = content_length ? content_length_value(*content_length) : 0;
    if (length <= 0)
        return kDefaultChunk;
    return length < static_cast<long long>(kLargestChunk) ? static_cast<std::size_t>(length) + 1 : kLargestChunk;
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

    std::optional<std::string> length = transport.content_length();
    std::size_t chunk_size = chunk_size_for(length);
    std::unique_ptr<void, void (*)(void*)> chunk(allocate_chunk ? allocate_chunk(chunk_size) : std::malloc(chunk_size),
                                                 std::free);
    if (chunk) {
        long long expected = length ? content_length_value(*length) : 0;
        if (expected > 0)
            body.try_reserve(expected < static_cast<long long>(kLargestReservation) ? static_cast<std::size_t>(expected)
                                                                                    : kLargestReservation);
        std::size_t got = 0;
        while (transport.read(chunk.get(), chunk_size, got) && got != 0)
            body.append(chunk.get(), got);
    }
    transport.close_request();
    transport.close_connection();
    return body;
}

}  // namespace qz
