// Downloading modules with libcurl's multi interface: --jobs at once, at
// most --rate starts per second per host, retries with growing pauses.
#include <curl/curl.h>

#include <chrono>
#include <cmath>
#include <deque>
#include <map>
#include <memory>
#include <optional>

#include "curl_transport.h"
#include "digest.h"
#include "fetch.h"
#include "module_fetch.h"
#include "movie_file.h"

namespace qz::cli {
namespace {

using Clock = std::chrono::steady_clock;

struct Transfer {
    Module* module = nullptr;
    OwnedCurl easy;
    std::optional<PartFile> part;
    std::optional<Sha256Stream> digest;
    std::uint64_t bytes = 0;
    bool too_big = false;
    bool write_failed = false;
    bool discarding = false;  // an error answer's body is not kept
    bool status_checked = false;
    std::string url;
    std::string host;
    Clock::time_point not_before{};
    SaveProgress* progress = nullptr;
    std::uint64_t max_size = 0;
};

std::size_t on_body(char* data, std::size_t size, std::size_t count, void* user)
{
    auto& t = *static_cast<Transfer*>(user);
    std::size_t n = size * count;
    if (!t.status_checked) {
        long status = 0;
        curl_easy_getinfo(t.easy.get(), CURLINFO_RESPONSE_CODE, &status);
        t.discarding = status < 200 || status > 299;
        t.status_checked = true;
    }
    if (t.discarding)
        return n;
    if (t.bytes + n > t.max_size) {
        t.too_big = true;
        return 0;
    }
    if (!t.part->write(data, n)) {
        t.write_failed = true;
        return 0;
    }
    t.digest->update(data, n);
    t.bytes += n;
    t.progress->bytes(n);
    return n;
}

bool transient(CURLcode code)
{
    switch (code) {
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING: return true;
    default: return false;
    }
}

void fail(Module& m, std::string why)
{
    m.result.done = false;
    m.result.failure = std::move(why);
    m.result.fetched = utc_now();
}

// What every module request sends and follows; a transfer that moves less
// than a byte a second for its stall time ends (each caller sets the times).
void set_module_request(CURL* e, const char* url, curl_slist* accept)
{
    curl_easy_setopt(e, CURLOPT_URL, url);
    curl_easy_setopt(e, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, accept);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
}

struct PrefixSink {
    std::string* prefix = nullptr;
    std::size_t limit = 0;
    std::uint64_t max_size = 0;
    std::uint64_t length = 0;
};

std::size_t on_prefix(char* data, std::size_t size, std::size_t count, void* user)
{
    auto& sink = *static_cast<PrefixSink*>(user);
    std::size_t n = size * count;
    if (sink.length + n > sink.max_size)
        return 0;
    if (sink.prefix->size() < sink.limit)
        sink.prefix->append(data, std::min(n, sink.limit - sink.prefix->size()));
    sink.length += n;
    return n;
}

}  // namespace

bool fetch_url_prefix(const std::string& url, std::size_t limit, std::uint64_t max_size, std::string& prefix,
                      std::uint64_t& length, std::string& error)
{
    OwnedCurl easy(curl_easy_init());
    OwnedCurlList accept(curl_slist_append(nullptr, "Accept: */*"));
    if (!easy) {
        error = "cannot start libcurl";
        return false;
    }
    PrefixSink sink{&prefix, limit, max_size};
    std::string target = request_object(url);
    CURL* e = easy.get();
    set_module_request(e, target.c_str(), accept.get());
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, 15L);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, 30L);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, on_prefix);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &sink);
    CURLcode code = curl_easy_perform(e);
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    if (code == CURLE_WRITE_ERROR && sink.length + 1 > max_size) {
        error = "larger than " + std::to_string(max_size) + " bytes";
        return false;
    }
    if (code != CURLE_OK) {
        error = curl_easy_strerror(code);
        return false;
    }
    if (status < 200 || status > 299) {
        error = "HTTP status " + std::to_string(status);
        return false;
    }
    length = sink.length;
    return true;
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
    OwnedCurlMulti multi(curl_multi_init());
    OwnedCurlList accept(curl_slist_append(nullptr, "Accept: */*"));
    std::deque<std::unique_ptr<Transfer>> waiting;
    std::map<CURL*, std::unique_ptr<Transfer>> active;
    std::map<std::string, Clock::time_point> next_start;  // per host
    const auto start_gap =
        options.rate > 0
            ? std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / options.rate))
            : Clock::duration::zero();

    for (Module* m : modules) {
        auto t = std::make_unique<Transfer>();
        t->module = m;
        t->url = request_object(m->address);
        t->host = host_of(m->address);
        t->progress = &progress;
        t->max_size = options.max_size;
        waiting.push_back(std::move(t));
    }

    auto finish = [&](Module& m) { progress.module_done(m); };

    auto start = [&](std::unique_ptr<Transfer> t) {
        Module& m = *t->module;
        std::string error;
        if (!t->part) {
            t->part = folder.create_part(m.name, error);
            if (!t->part) {
                fail(m, error);
                return finish(m);
            }
        }
        if (!t->easy)
            t->easy.reset(curl_easy_init());
        CURL* e = t->easy.get();
        t->digest.emplace();
        t->bytes = 0;
        t->too_big = t->write_failed = t->discarding = t->status_checked = false;
        set_module_request(e, t->url.c_str(), accept.get());
        curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connect_timeout * 1000));
        curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, std::max(1L, std::lround(options.stall_timeout)));
        curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.max_size));
        curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, on_body);
        curl_easy_setopt(e, CURLOPT_WRITEDATA, t.get());
        ++m.result.attempts;
        curl_multi_add_handle(multi.get(), e);
        active.emplace(e, std::move(t));
    };

    auto done = [&](CURL* e, CURLcode code) {
        auto it = active.find(e);
        std::unique_ptr<Transfer> t = std::move(it->second);
        active.erase(it);
        curl_multi_remove_handle(multi.get(), e);
        Module& m = *t->module;
        long status = 0;
        curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
        curl_off_t declared = -1;
        curl_easy_getinfo(e, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &declared);
        m.result.status = status;
        std::string why;
        bool retry = false;
        if (t->write_failed) {
            why = "cannot write the file (is the disk full?)";
        } else if (t->too_big || code == CURLE_FILESIZE_EXCEEDED) {
            why = "larger than --max-size (" + std::to_string(options.max_size) + " bytes); not kept";
        } else if (code != CURLE_OK) {
            why = curl_easy_strerror(code);
            retry = transient(code);
        } else if (status >= 500) {
            why = "HTTP status " + std::to_string(status);
            retry = true;
        } else if (status < 200 || status > 299) {
            why = "HTTP status " + std::to_string(status);
        } else if (declared >= 0 && static_cast<std::uint64_t>(declared) != t->bytes) {
            why = "the body has " + std::to_string(t->bytes) + " bytes, its Content-Length says " +
                  std::to_string(declared);
            retry = true;
        }
        if (why.empty()) {
            std::string final_name, error;
            std::string sha = hex_of(t->digest->finish());
            auto commit = folder.commit(std::move(*t->part), m.name, t->bytes, sha, final_name, error);
            t->part.reset();
            if (commit == OutputFolder::Commit::failed) {
                fail(m, error);
            } else {
                m.result.done = true;
                m.result.already = commit == OutputFolder::Commit::already_there;
                m.result.file = final_name;
                m.result.length = t->bytes;
                m.result.sha256 = sha;
                m.result.fetched = utc_now();
                m.result.movie = read_movie_file(folder.path_of(final_name));
            }
            return finish(m);
        }
        if (retry && m.result.attempts <= options.retries && t->part->rewind()) {
            // 0.5 s, 1 s, 2 s, ... between attempts.
            auto pause = std::chrono::duration<double>(0.5 * std::pow(2.0, m.result.attempts - 1));
            t->not_before = Clock::now() + std::chrono::duration_cast<Clock::duration>(pause);
            waiting.push_back(std::move(t));
            return;
        }
        if (m.result.attempts > 1)
            why += " (after " + std::to_string(m.result.attempts) + " attempts)";
        fail(m, why);
        finish(m);
    };

    while ((!waiting.empty() || !active.empty()) && !stop) {
        auto now = Clock::now();
        auto wake = now + std::chrono::milliseconds(200);
        for (auto it = waiting.begin();
             it != waiting.end() && active.size() < static_cast<std::size_t>(options.jobs);) {
            Transfer& t = **it;
            auto slot = next_start.find(t.host);
            auto ready = std::max(t.not_before, slot == next_start.end() ? now : slot->second);
            if (ready > now) {
                wake = std::min(wake, ready);
                ++it;
                continue;
            }
            next_start[t.host] = now + start_gap;
            std::unique_ptr<Transfer> taken = std::move(*it);
            it = waiting.erase(it);
            start(std::move(taken));
        }
        int running = 0;
        curl_multi_perform(multi.get(), &running);
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi.get(), &left))
            if (msg->msg == CURLMSG_DONE)
                done(msg->easy_handle, msg->data.result);
        if (!active.empty() || !waiting.empty()) {
            auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(wake - Clock::now()).count();
            curl_multi_poll(multi.get(), nullptr, 0, static_cast<int>(std::clamp<long long>(wait, 0, 200)), nullptr);
        }
    }
    // Stopped: the handles leave the multi handle before it goes, and each
    // part file is removed with its transfer.
    for (auto& [easy, t] : active)
        curl_multi_remove_handle(multi.get(), easy);
    for (auto& [easy, t] : active)
        fail(*t->module, "interrupted");
    for (auto& t : waiting)
        fail(*t->module, "interrupted");
}

}  // namespace qz::cli
