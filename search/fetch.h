// The page fetch: one HTTP GET over a small transport interface.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text.h"

namespace qz {

// Room the address split gives each part, in characters with the terminator.
inline constexpr std::size_t kHostRoom = 256;
inline constexpr std::size_t kObjectRoom = 2048;
inline constexpr std::size_t kCredentialRoom = 128;

// The browser the service sees, in both transports.
inline constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

inline constexpr std::size_t kDefaultChunk = 10240;
inline constexpr std::size_t kLargestChunk = 102400;
inline constexpr std::size_t kContentLengthRoom = 32;

struct AddressParts {
    std::string host;
    unsigned port = 0;
    std::string object;  // path and query together
    std::string user;
    std::string password;
};

// The HTTP client, one call per step of the fetch. The transport owns the
// internet handle (kept open between fetches) and the connection and request
// of the fetch under way.
class PageTransport {
public:
    virtual ~PageTransport() = default;
    // Canonicalises and splits the address; false when it cannot (an object
    // beyond its room among them).
    virtual bool split_address(const char* address, AddressParts& parts) = 0;
    virtual bool session_open() const = 0;
    // Opens the internet handle; false leaves it closed.
    virtual bool open_session() = 0;
    virtual bool connect(const AddressParts& parts) = 0;
    // The system's proxy settings; the results are not looked at.
    virtual void set_proxy_options() = 0;
    virtual bool open_request(const char* object) = 0;
    virtual bool send_request() = 0;
    // The Content-Length header's text; nullopt when absent or when it does
    // not fit in kContentLengthRoom bytes with its terminator.
    virtual std::optional<std::string> content_length() = 0;
    // One read of at most `size` bytes; false on failure, else `got` bytes
    // (0 at the end of the body).
    virtual bool read(void* buffer, std::size_t size, std::size_t& got) = 0;
    virtual void close_request() = 0;
    virtual void close_connection() = 0;
};

// The Content-Length text read as a decimal integer: leading white space,
// an optional sign, decimal digits up to the first other character (none
// reads 0); saturated rather than overflowing.
long long content_length_value(const std::string& text);

// The size of each body read: L + 1 for a Content-Length L > 0, at most
// 102,400; 10,240 without the header or for L <= 0.
std::size_t chunk_size_for(const std::optional<std::string>& content_length);

// Room made for the body up front when the answer names its length; beyond
// this the body grows as it arrives, so a lying header cannot claim more.
inline constexpr std::size_t kLargestReservation = std::size_t(256) << 20;

// The object as it goes on the request line: cut at its first "#", with
// spaces and control bytes written as %XX so that they cannot break the line.
std::string request_object(std::string_view object);

// Where the chunk buffer comes from; a null answer ends the fetch.
using ChunkAllocator = void* (*)(std::size_t bytes);

// The body of the answer to an HTTP GET of `address`, whatever the status;
// empty on every failure, except a read failing part-way, which keeps the
// bytes that arrived before it.
ByteSet fetch_page(std::string_view address, PageTransport& transport, ChunkAllocator allocate_chunk = nullptr);

}  // namespace qz
