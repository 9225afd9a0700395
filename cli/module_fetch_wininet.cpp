// Downloading modules with WinINet, one at a time: at most --rate starts per
// second per host, retries with growing pauses, the same checks as natively.
#include <windows.h>
// windows.h first: wininet.h needs its types.
#include <wininet.h>

#include <chrono>
#include <cmath>
#include <map>
#include <thread>
#include <vector>

#include "digest.h"
#include "fetch.h"
#include "module_fetch.h"
#include "movie_file.h"

namespace qz::cli {
namespace {

using Clock = std::chrono::steady_clock;

class OwnedInternet {
public:
    explicit OwnedInternet(HINTERNET h = nullptr) : h_(h) {}
    OwnedInternet(OwnedInternet&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
    OwnedInternet& operator=(OwnedInternet&&) = delete;
    OwnedInternet(const OwnedInternet&) = delete;
    OwnedInternet& operator=(const OwnedInternet&) = delete;
    ~OwnedInternet()
    {
        if (h_)
            InternetCloseHandle(h_);
    }
    HINTERNET get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HINTERNET h_;
};

struct Attempt {
    std::string why;
    bool retry = false;
    long status = 0;
    std::uint64_t bytes = 0;
    std::string sha256;
};

bool transient_error(DWORD code)
{
    switch (code) {
    case ERROR_INTERNET_TIMEOUT:
    case ERROR_INTERNET_CANNOT_CONNECT:
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET:
    case ERROR_HTTP_INVALID_SERVER_RESPONSE: return true;
    default: return false;
    }
}

std::string internet_message(DWORD code)
{
    char text[256] = {};
    HMODULE wininet = GetModuleHandleA("wininet.dll");
    if (FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, wininet, code, 0, text, sizeof text,
                       nullptr) == 0)
        return "WinINet error " + std::to_string(code);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message + " (" + std::to_string(code) + ")";
}

Attempt fetch_once(HINTERNET session, const std::string& url, PartFile& part, const SaveOptions& options,
                   SaveProgress& progress, const volatile std::sig_atomic_t& stop)
{
    Attempt a;
    const char headers[] = "Accept: */*\r\n";
    OwnedInternet request(InternetOpenUrlA(session, url.c_str(), headers, static_cast<DWORD>(sizeof headers - 1),
                                           INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request) {
        DWORD code = GetLastError();
        a.why = internet_message(code);
        a.retry = transient_error(code);
        return a;
    }
    DWORD status = 0, size = sizeof status;
    HttpQueryInfoA(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
    a.status = static_cast<long>(status);
    if (status < 200 || status > 299) {
        a.why = "HTTP status " + std::to_string(status);
        a.retry = status >= 500;
        return a;
    }
    char length_text[32] = {};
    DWORD length_size = sizeof length_text;
    long long declared = -1;
    if (HttpQueryInfoA(request.get(), HTTP_QUERY_CONTENT_LENGTH, length_text, &length_size, nullptr))
        declared = content_length_value(length_text);
    if (declared >= 0 && static_cast<std::uint64_t>(declared) > options.max_size) {
        a.why = "larger than --max-size (" + std::to_string(options.max_size) + " bytes); not kept";
        return a;
    }
    Sha256Stream digest;
    std::vector<char> buffer(1 << 16);
    while (!stop) {
        DWORD got = 0;
        if (!InternetReadFile(request.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got)) {
            DWORD code = GetLastError();
            a.why = internet_message(code);
            a.retry = true;
            return a;
        }
        if (got == 0)
            break;
        if (a.bytes + got > options.max_size) {
            a.why = "larger than --max-size (" + std::to_string(options.max_size) + " bytes); not kept";
            return a;
        }
        if (!part.write(buffer.data(), got)) {
            a.why = "cannot write the file (is the disk full?)";
            return a;
        }
        digest.update(buffer.data(), got);
        a.bytes += got;
        progress.bytes(got);
    }
    if (stop) {
        a.why = "interrupted";
        return a;
    }
    if (declared >= 0 && static_cast<std::uint64_t>(declared) != a.bytes) {
        a.why =
            "the body has " + std::to_string(a.bytes) + " bytes, its Content-Length says " + std::to_string(declared);
        a.retry = true;
        return a;
    }
    a.sha256 = hex_of(digest.finish());
    return a;
}

}  // namespace

bool fetch_url_prefix(const std::string& url, std::size_t limit, std::uint64_t max_size, std::string& prefix,
                      std::uint64_t& length, std::string& error)
{
    OwnedInternet session(InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    const char headers[] = "Accept: */*\r\n";
    OwnedInternet request(session ? InternetOpenUrlA(session.get(), request_object(url).c_str(), headers,
                                                     static_cast<DWORD>(sizeof headers - 1),
                                                     INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)
                                  : nullptr);
    if (!request) {
        error = internet_message(GetLastError());
        return false;
    }
    DWORD status = 0, size = sizeof status;
    HttpQueryInfoA(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
    if (status < 200 || status > 299) {
        error = "HTTP status " + std::to_string(status);
        return false;
    }
    std::vector<char> buffer(1 << 16);
    length = 0;
    while (true) {
        DWORD got = 0;
        if (!InternetReadFile(request.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got)) {
            error = internet_message(GetLastError());
            return false;
        }
        if (got == 0)
            return true;
        if (length + got > max_size) {
            error = "larger than " + std::to_string(max_size) + " bytes";
            return false;
        }
        if (prefix.size() < limit)
            prefix.append(buffer.data(), std::min<std::size_t>(got, limit - prefix.size()));
        length += got;
    }
}

std::string host_of(const std::string& address)
{
    std::size_t start = address.find("://");
    start = start == std::string::npos ? 0 : start + 3;
    return address.substr(start, address.find_first_of("/?#", start) - start);
}

void fetch_modules(const std::vector<Module*>& modules, const SaveOptions& options, OutputFolder& folder,
                   SaveProgress& progress, const volatile std::sig_atomic_t& stop)
{
    OwnedInternet session(InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (session) {
        DWORD connect_ms = static_cast<DWORD>(options.connect_timeout * 1000);
        DWORD stall_ms = static_cast<DWORD>(options.stall_timeout * 1000);
        InternetSetOptionA(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &connect_ms, sizeof connect_ms);
        InternetSetOptionA(session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &stall_ms, sizeof stall_ms);
        InternetSetOptionA(session.get(), INTERNET_OPTION_SEND_TIMEOUT, &stall_ms, sizeof stall_ms);
    }
    std::map<std::string, Clock::time_point> next_start;
    const auto gap =
        options.rate > 0
            ? std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / options.rate))
            : Clock::duration::zero();
    for (Module* m : modules) {
        if (stop) {
            m->result.failure = "interrupted";
            m->result.fetched = utc_now();
            continue;
        }
        std::string error;
        auto part = folder.create_part(m->name, error);
        if (!session || !part) {
            m->result.failure = session ? error : internet_message(GetLastError());
            m->result.fetched = utc_now();
            progress.module_done(*m);
            continue;
        }
        std::string host = host_of(m->address);
        Attempt a;
        while (true) {
            auto slot = next_start.find(host);
            if (slot != next_start.end() && slot->second > Clock::now())
                std::this_thread::sleep_until(slot->second);
            next_start[host] = Clock::now() + gap;
            ++m->result.attempts;
            a = fetch_once(session.get(), request_object(m->address), *part, options, progress, stop);
            if (a.why.empty() || !a.retry || m->result.attempts > options.retries || stop || !part->rewind())
                break;
            // 0.5 s, 1 s, 2 s, ... between attempts.
            std::this_thread::sleep_for(std::chrono::duration<double>(0.5 * std::pow(2.0, m->result.attempts - 1)));
        }
        m->result.status = a.status;
        m->result.fetched = utc_now();
        if (!a.why.empty()) {
            m->result.failure = a.why;
            if (m->result.attempts > 1)
                m->result.failure += " (after " + std::to_string(m->result.attempts) + " attempts)";
        } else {
            std::string final_name;
            auto commit = folder.commit(std::move(*part), m->name, a.bytes, a.sha256, final_name, error);
            if (commit == OutputFolder::Commit::failed) {
                m->result.failure = error;
            } else {
                m->result.done = true;
                m->result.already = commit == OutputFolder::Commit::already_there;
                m->result.file = final_name;
                m->result.length = a.bytes;
                m->result.sha256 = a.sha256;
                m->result.movie = read_movie_file(folder.path_of(final_name));
            }
        }
        progress.module_done(*m);
    }
}

}  // namespace qz::cli
