// The page fetch of 64 MiB bodies from the stand-in, beside a bare loop of the
// same WinINet calls with the same chunk size; prints figures, asserts nothing.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fetch.h"
#include "query.h"
#include "wininet_transport.h"

namespace {

double now_ms()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The same calls as the transport makes, reading into one chunk and keeping
// only the count: what the fetch costs without the body it builds. With
// `keep`, each chunk is also copied into a buffer already as large as the
// body: the least any fetch that keeps the body can cost.
std::size_t bare_fetch(HINTERNET session, const qz::AddressParts& parts, const std::string& object,
                       std::size_t keep = 0)
{
    char* kept = keep ? static_cast<char*>(std::malloc(keep)) : nullptr;
    std::size_t total = 0;
    HINTERNET connection = InternetConnectA(session, parts.host.c_str(), static_cast<INTERNET_PORT>(parts.port), "", "",
                                            INTERNET_SERVICE_HTTP, 0, 0);
    const char* accept[] = {"*/*", nullptr};
    HINTERNET request = HttpOpenRequestA(connection, "GET", object.c_str(), "HTTP/1.0", nullptr, accept,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    static const char headers[] = "Accept: */*\r\n\r\n";
    if (request && HttpSendRequestA(request, headers, sizeof headers - 1, nullptr, 0)) {
        char text[qz::kContentLengthRoom] = {};
        DWORD size = sizeof text;
        std::optional<std::string> length;
        if (HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
            length = std::string(text, size);
        std::size_t chunk_size = qz::chunk_size_for(length);
        void* chunk = std::malloc(chunk_size);
        DWORD got = 0;
        while (InternetReadFile(request, chunk, static_cast<DWORD>(chunk_size), &got) && got != 0) {
            if (kept && total + got <= keep)
                std::memcpy(kept + total, chunk, got);
            total += got;
        }
        std::free(chunk);
    }
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    std::free(kept);
    return total;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    int rounds = 5;
    if (argc > 1) {
        // The medians need at least one round.
        char* end = nullptr;
        const long n = std::strtol(argv[1], &end, 10);
        if (end == argv[1] || *end != '\0' || n < 1 || n > 1000) {
            std::fprintf(stderr, "usage: fetch_bench [ROUNDS], 1 to 1000 rounds\n");
            return 2;
        }
        rounds = int(n);
    }
    std::printf("%-11s %6s %10s %10s %10s %10s %14s %12s\n", "answer", "rounds", "fetch MiB", "fetch ms", "bare MiB",
                "bare ms", "bare+keep ms", "fetch/bare");
    qz::WinInetTransport transport;
    HINTERNET session = InternetOpenA(qz::kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    for (const char* uin : {"big64", "big64nolen"}) {
        qz::Text address = qz::query_address(uin);
        qz::AddressParts parts;
        transport.split_address(address.c_str(), parts);
        std::string object = qz::request_object(parts.object);
        bare_fetch(session, parts, object);  // the stand-in builds the body once
        std::vector<double> fetch_ms, bare_ms, keep_ms;
        std::size_t fetched = 0, bare = 0;
        for (int i = 0; i < rounds; ++i) {
            double t0 = now_ms();
            fetched = qz::fetch_page(address.view(), transport).size();
            double t1 = now_ms();
            bare = bare_fetch(session, parts, object);
            double t2 = now_ms();
            bare_fetch(session, parts, object, (64u << 20) + 1);
            double t3 = now_ms();
            fetch_ms.push_back(t1 - t0);
            bare_ms.push_back(t2 - t1);
            keep_ms.push_back(t3 - t2);
        }
        double f = median(fetch_ms), b = median(bare_ms);
        std::printf("%-11s %6d %10.1f %10.1f %10.1f %10.1f %14.1f %12.3f\n", uin, rounds, fetched / 1048576.0, f,
                    bare / 1048576.0, b, median(keep_ms), f / b);
    }
    InternetCloseHandle(session);
    return 0;
}
