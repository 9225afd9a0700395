// The steps of the page fetch over libcurl's multi interface, so that the
// body can be handed over piece by piece as the caller reads.
#include "curl_transport.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

#include "address_shield.h"

namespace qz {
namespace {

using OwnedUrl = Owned<CURLU*, curl_url_cleanup>;

// One part of the parsed address, restored; `present` false when the
// address has none (an empty part).
bool url_part(CURLU* url, CURLUPart which, unsigned flags, std::string& out)
{
    char* text = nullptr;
    CURLUcode code = curl_url_get(url, which, &text, flags);
    out.clear();
    if (code != CURLUE_OK)
        return false;
    out = restored(text);
    curl_free(text);
    return true;
}

bool header_named(std::string_view line, std::string_view name)
{
    if (line.size() < name.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != name[i])
            return false;
    return true;
}

void global_init()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Long enough to read a whole answer to its end, short enough that a body
// callback hands over about what one read of the fetch takes.
constexpr long kReceiveBuffer = static_cast<long>(kLargestChunk);
// Bytes that may wait for the reader before libcurl is told to hold the
// rest: a pause costs libcurl a copy of what it holds and a heap round trip,
// and one perform reads the socket many times over, so pausing whenever the
// reader's buffer was full cost more than the fetch itself (10,240-byte reads
// of a body without Content-Length: 2.7 times curl). A larger room only
// touches more memory: 128 KiB measured best, 1 and 4 MiB slower.
constexpr std::size_t kSpillRoom = std::size_t(128) << 10;

// A loop of redirects would otherwise hold the window for ever.
constexpr long kMostRedirects = 30;

}  // namespace

CurlTransport::CurlTransport() = default;

CurlTransport::~CurlTransport() { close_request(); }

bool CurlTransport::split_address(const char* address, AddressParts& parts)
{
    OwnedUrl url(curl_url());
    if (!url)
        return false;
    // The URL parser refuses spaces and control bytes, which a typed account
    // may hold; the address goes through it with those bytes, '%' and bytes
    // of 0x80 and above written %XX, and every part comes back out with them
    // restored, as the WinINet transport does.
    std::string ascii = shielded(address);
    if (curl_url_set(url.get(), CURLUPART_URL, ascii.c_str(), 0) != CURLUE_OK)
        return false;
    std::string port, path, query;
    if (!url_part(url.get(), CURLUPART_HOST, 0, parts.host) ||
        !url_part(url.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT, port) || !url_part(url.get(), CURLUPART_PATH, 0, path))
        return false;
    url_part(url.get(), CURLUPART_USER, 0, parts.user);
    url_part(url.get(), CURLUPART_PASSWORD, 0, parts.password);
    parts.object = path;
    if (url_part(url.get(), CURLUPART_QUERY, 0, query))
        parts.object += "?" + query;
    parts.port = static_cast<unsigned>(std::strtoul(port.c_str(), nullptr, 10));
    return parts.host.size() < kHostRoom && parts.object.size() < kObjectRoom && parts.user.size() < kCredentialRoom &&
           parts.password.size() < kCredentialRoom;
}

bool CurlTransport::open_session()
{
    global_init();
    OwnedCurl easy(curl_easy_init());
    OwnedCurlMulti multi(curl_multi_init());
    if (!easy || !multi)
        return false;
    CURL* e = easy.get();
    // What is not set stays libcurl's default: no Accept-Encoding, no
    // cookies, no time-outs beyond its own, the proxy from the environment
    // (http_proxy, no_proxy, ...).
    bool ok = curl_easy_setopt(e, CURLOPT_USERAGENT, kUserAgent) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_0}) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMostRedirects) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
              // The body runs to the end of the connection whatever the
              // header says, as WinINet reads it; content_length() still
              // gives the header's text.
              curl_easy_setopt(e, CURLOPT_IGNORE_CONTENT_LENGTH, 1L) == CURLE_OK &&
              // An answer without a status line is a page too.
              curl_easy_setopt(e, CURLOPT_HTTP09_ALLOWED, 1L) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_BUFFERSIZE, kReceiveBuffer) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &CurlTransport::on_header) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_HEADERDATA, this) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &CurlTransport::on_body) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_WRITEDATA, this) == CURLE_OK;
    if (!ok)
        return false;
    easy_ = std::move(easy);
    multi_ = std::move(multi);
    return true;
}

void CurlTransport::close_session()
{
    close_request();
    multi_.reset();
    easy_.reset();
}

bool CurlTransport::connect(const AddressParts& parts)
{
    // libcurl connects when the request goes out.
    parts_ = parts;
    return true;
}

void CurlTransport::set_proxy_options()
{
    // libcurl reads the system's proxy settings (the environment) by itself.
}

bool CurlTransport::open_request(const char* object)
{
    close_request();
    CURL* e = easy_.get();
    // Plain HTTP to the address's port, whatever its scheme, as WinINet's
    // HTTP service does.
    std::string address = "http://" + parts_.host + ":" + std::to_string(parts_.port) + object;
    if (curl_easy_setopt(e, CURLOPT_URL, address.c_str()) != CURLE_OK)
        return false;
    bool credentials = !parts_.user.empty() || !parts_.password.empty();
    // Credentials only when the server asks for them.
    return curl_easy_setopt(e, CURLOPT_USERNAME, credentials ? parts_.user.c_str() : nullptr) == CURLE_OK &&
           curl_easy_setopt(e, CURLOPT_PASSWORD, credentials ? parts_.password.c_str() : nullptr) == CURLE_OK &&
           curl_easy_setopt(e, CURLOPT_HTTPAUTH, credentials ? CURLAUTH_ANY : CURLAUTH_BASIC) == CURLE_OK;
}

template <typename Enough>
bool CurlTransport::run_until(Enough enough)
{
    while (!done_ && !enough()) {
        int running = 0;
        if (curl_multi_perform(multi_.get(), &running) != CURLM_OK)
            return false;
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy_.get()) {
                done_ = true;
                result_ = message->data.result;
            }
        }
        if (done_ || enough())
            break;
        // libcurl shortens the wait to its own next timer.
        if (curl_multi_poll(multi_.get(), nullptr, 0, 1000, nullptr) != CURLM_OK)
            return false;
    }
    return true;
}

bool CurlTransport::send_request()
{
    if (!easy_ || curl_multi_add_handle(multi_.get(), easy_.get()) != CURLM_OK)
        return false;
    attached_ = true;
    // The headers are in once the final answer's body starts (the body
    // callback holds its first bytes back until read() asks) or the answer
    // ends.
    if (!run_until([this] { return body_started_; }))
        return false;
    return body_started_ || (answered_ && result_ == CURLE_OK);
}

std::optional<std::string> CurlTransport::content_length() { return content_length_; }

void CurlTransport::copy_out(const char* data, std::size_t bytes)
{
    std::size_t n = std::min(bytes, target_room_ - target_got_);
    if (n != 0)
        std::memcpy(target_ + target_got_, data, n);
    target_got_ += n;
    spill_.append(data + n, bytes - n);
}

bool CurlTransport::read(void* buffer, std::size_t size, std::size_t& got)
{
    got = 0;
    if (!attached_ || size == 0)
        return false;
    target_ = static_cast<char*>(buffer);
    target_room_ = size;
    target_got_ = 0;
    // What did not fit last time comes first.
    if (spill_at_ < spill_.size()) {
        std::size_t n = std::min(size, spill_.size() - spill_at_);
        std::memcpy(target_, spill_.data() + spill_at_, n);
        target_got_ = n;
        spill_at_ += n;
        if (spill_at_ == spill_.size()) {
            spill_.clear();
            spill_at_ = 0;
        }
    }
    bool ok = true;
    if (target_got_ == 0 && paused_) {
        paused_ = false;
        // Hands the held bytes to on_body at once.
        ok = curl_easy_pause(easy_.get(), CURLPAUSE_CONT) == CURLE_OK;
    }
    if (ok && target_got_ == 0)
        ok = run_until([this] { return target_got_ != 0; });
    got = target_got_;
    target_ = nullptr;
    target_room_ = target_got_ = 0;
    if (got != 0)
        return true;
    return ok && done_ && result_ == CURLE_OK;
}

void CurlTransport::close_request()
{
    if (attached_)
        curl_multi_remove_handle(multi_.get(), easy_.get());
    attached_ = false;
    done_ = false;
    result_ = CURLE_OK;
    answered_ = false;
    body_started_ = false;
    paused_ = false;
    content_length_.reset();
    spill_.clear();
    spill_.shrink_to_fit();
    spill_at_ = 0;
}

void CurlTransport::close_connection()
{
    // libcurl keeps or closes the connection itself; HTTP/1.0 closes it.
}

std::size_t CurlTransport::on_header(char* data, std::size_t size, std::size_t count, void* self)
{
    auto* transport = static_cast<CurlTransport*>(self);
    std::string_view line(data, size * count);
    if (header_named(line, "http/")) {
        // A new answer (after a redirect or a 100 Continue): its own headers.
        transport->answered_ = true;
        transport->content_length_.reset();
    } else if (header_named(line, "content-length:") && !transport->content_length_) {
        std::string_view value = line.substr(sizeof "content-length:" - 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
            value.remove_prefix(1);
        while (!value.empty() && (value.back() == '\r' || value.back() == '\n'))
            value.remove_suffix(1);
        // Like HttpQueryInfo's fixed room: a longer text is no header.
        if (value.size() < kContentLengthRoom)
            transport->content_length_ = std::string(value);
    }
    return size * count;
}

std::size_t CurlTransport::on_body(char* data, std::size_t size, std::size_t count, void* self)
{
    auto* transport = static_cast<CurlTransport*>(self);
    transport->body_started_ = true;
    std::size_t bytes = size * count;
    if (bytes == 0)
        return 0;
    // The reader's buffer is full (or no read is under way) and kSpillRoom
    // bytes wait already: libcurl holds the bytes and stops reading the socket
    // until the next read().
    if (transport->target_got_ == transport->target_room_ &&
        transport->spill_.size() - transport->spill_at_ >= kSpillRoom) {
        transport->paused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    transport->copy_out(data, bytes);
    return bytes;
}

}  // namespace qz
