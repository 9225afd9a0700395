// The WinINet calls of the page fetch, in the order the fetch makes them.
#include "wininet_transport.h"

#include <vector>

namespace qz {

bool WinInetTransport::split_address(const char* address, AddressParts& parts)
{
    // Canonicalising never needs much more room than the address; ask again
    // with the size WinINet names if it does.
    DWORD size = static_cast<DWORD>(lstrlenA(address)) * 3 + 32;
    std::vector<char> canonical(size);
    if (!InternetCanonicalizeUrlA(address, canonical.data(), &size, ICU_NO_ENCODE)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return false;
        canonical.resize(size + 1);
        size = static_cast<DWORD>(canonical.size());
        if (!InternetCanonicalizeUrlA(address, canonical.data(), &size, ICU_NO_ENCODE))
            return false;
    }

    char host[kHostRoom], object[kObjectRoom], user[kCredentialRoom], password[kCredentialRoom];
    URL_COMPONENTSA url = {};
    url.dwStructSize = sizeof url;
    url.lpszHostName = host;
    url.dwHostNameLength = sizeof host;
    url.lpszUrlPath = object;
    url.dwUrlPathLength = sizeof object;  // no room for extra info: the query stays in the path
    url.lpszUserName = user;
    url.dwUserNameLength = sizeof user;
    url.lpszPassword = password;
    url.dwPasswordLength = sizeof password;
    if (!InternetCrackUrlA(canonical.data(), 0, 0, &url))
        return false;
    parts.host.assign(host, url.dwHostNameLength);
    parts.port = url.nPort;
    parts.object.assign(object, url.dwUrlPathLength);
    parts.user.assign(user, url.dwUserNameLength);
    parts.password.assign(password, url.dwPasswordLength);
    return true;
}

bool WinInetTransport::open_session()
{
    session_.reset(InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    return static_cast<bool>(session_);
}

bool WinInetTransport::connect(const AddressParts& parts)
{
    connection_.reset(InternetConnectA(session_.get(), parts.host.c_str(),
                                       static_cast<INTERNET_PORT>(parts.port), parts.user.c_str(),
                                       parts.password.c_str(), INTERNET_SERVICE_HTTP, 0, 0));
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
    return ok != FALSE;
}

}  // namespace qz
