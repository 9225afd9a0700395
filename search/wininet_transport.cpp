// The WinINet calls of the page fetch, in the order the fetch makes them.
#include "wininet_transport.h"

#include <string>
#include <string_view>
#include <vector>

#include "address_shield.h"

namespace qz {

namespace {

// The part as the caller wrote it; false when it does not fit in `room`
// characters with its terminator.
bool restore_part(const std::vector<char>& part, DWORD length, std::size_t room, std::string& out)
{
    out = restored(std::string_view(part.data(), length));
    return out.size() < room;
}

}  // namespace

bool WinInetTransport::split_address(const char* address, AddressParts& parts)
{
    // Wine's ANSI calls pass the address through the code page and back:
    // bytes of two-byte characters cut its end short or leave stray bytes,
    // tabs are dropped and a line feed ends the path. The address goes
    // through them as ASCII, with '%', control bytes and bytes of 0x80 and
    // above written %XX, and every part comes back out with those bytes
    // restored.
    std::string ascii = shielded(address);
    // Canonicalising never needs much more room than the address; ask again
    // with the size WinINet names if it does.
    DWORD size = static_cast<DWORD>(ascii.size()) * 3 + 32;
    std::vector<char> canonical(size);
    if (!InternetCanonicalizeUrlA(ascii.c_str(), canonical.data(), &size, ICU_NO_ENCODE)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return false;
        canonical.resize(size + 1);
        size = static_cast<DWORD>(canonical.size());
        if (!InternetCanonicalizeUrlA(ascii.c_str(), canonical.data(), &size, ICU_NO_ENCODE))
            return false;
    }

    // Each part gets room for the whole address; the rooms of the parts as
    // written are checked once they are restored.
    const DWORD room = static_cast<DWORD>(canonical.size());
    std::vector<char> host(room), object(room), user(room), password(room);
    URL_COMPONENTSA url = {};
    url.dwStructSize = sizeof url;
    url.lpszHostName = host.data();
    url.dwHostNameLength = room;
    url.lpszUrlPath = object.data();
    url.dwUrlPathLength = room;  // no room for extra info: the query stays in the path
    url.lpszUserName = user.data();
    url.dwUserNameLength = room;
    url.lpszPassword = password.data();
    url.dwPasswordLength = room;
    if (!InternetCrackUrlA(canonical.data(), 0, 0, &url))
        return false;
    parts.port = url.nPort;
    return restore_part(host, url.dwHostNameLength, kHostRoom, parts.host) &&
           restore_part(object, url.dwUrlPathLength, kObjectRoom, parts.object) &&
           restore_part(user, url.dwUserNameLength, kCredentialRoom, parts.user) &&
           restore_part(password, url.dwPasswordLength, kCredentialRoom, parts.password);
}

bool WinInetTransport::open_session()
{
    session_.reset(InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    return static_cast<bool>(session_);
}

bool WinInetTransport::connect(const AddressParts& parts)
{
    connection_.reset(InternetConnectA(session_.get(), parts.host.c_str(), static_cast<INTERNET_PORT>(parts.port),
                                       parts.user.c_str(), parts.password.c_str(), INTERNET_SERVICE_HTTP, 0, 0));
    return static_cast<bool>(connection_);
}

void WinInetTransport::set_proxy_options()
{
    INTERNET_PROXY_INFO proxy = {};
    proxy.dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG;
    char empty[] = "";
    // Wine answers FALSE to the proxy option on a handle; the fetch goes on either way.
    InternetSetOptionA(session_.get(), INTERNET_OPTION_PROXY, &proxy, sizeof proxy);
    InternetSetOptionA(connection_.get(), INTERNET_OPTION_PROXY_USERNAME, empty, sizeof empty);
    InternetSetOptionA(connection_.get(), INTERNET_OPTION_PROXY_PASSWORD, empty, sizeof empty);
}

bool WinInetTransport::open_request(const char* object)
{
    const char* accept[] = {"*/*", nullptr};
    request_.reset(HttpOpenRequestA(connection_.get(), "GET", object, "HTTP/1.0", nullptr, accept,
                                    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    return static_cast<bool>(request_);
}

bool WinInetTransport::send_request()
{
    static const char headers[] = "Accept: */*\r\n\r\n";
    return HttpSendRequestA(request_.get(), headers, sizeof headers - 1, nullptr, 0) != FALSE;
}

std::optional<std::string> WinInetTransport::content_length()
{
    char text[kContentLengthRoom] = {};
    DWORD size = sizeof text;
    if (!HttpQueryInfoA(request_.get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return std::nullopt;
    return std::string(text, size < sizeof text ? size : sizeof text - 1);
}

bool WinInetTransport::read(void* buffer, std::size_t size, std::size_t& got)
{
    DWORD read = 0;
    BOOL ok = InternetReadFile(request_.get(), buffer, static_cast<DWORD>(size), &read);
    got = read;
    // Wine fails the read that meets a reset but hands over the bytes that
    // came before it; they count, and the next read reports the end.
    return ok != FALSE || read != 0;
}

}  // namespace qz
