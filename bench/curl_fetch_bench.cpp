// The libcurl page fetch of 64 MiB bodies from the stand-in, beside
// `curl -s -o /dev/null` of the same address in the same run; prints times,
// their ratio and the fetch's peak memory as a multiple of the body, each
// beside its goal. Asserts nothing. Run it in the sandbox:
//   tools/sandbox/run --linux build/linux/curl_fetch_bench [rounds [answer...]]
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "curl_transport.h"
#include "fetch.h"
#include "query.h"

namespace {

constexpr double kTimeGoal = 1.2;    // the fetch within 1.2 times curl's time
constexpr double kMemoryGoal = 1.1;  // its peak memory within 1.1 times the body

double now_ms()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM").
long status_kib(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    std::size_t n = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, n, field) == 0 && line[n] == ':')
            return std::strtol(line.c_str() + n + 1, nullptr, 10);
    return -1;
}

// Starts the peak resident size afresh from the current one.
bool reset_peak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return static_cast<bool>(clear.flush());
}

// `curl -s -o /dev/null address`; its wall time, or a negative one when it fails.
double curl_ms(const char* address)
{
    const char* args[] = {"curl", "-s", "-o", "/dev/null", address, nullptr};
    double t0 = now_ms();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "curl", nullptr, nullptr, const_cast<char**>(args), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    double t1 = now_ms();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? t1 - t0 : -1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The machine is shared: the best round shows the cost, the median how
// much others got in the way.
double best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

}  // namespace

int main(int argc, char** argv)
{
    int rounds = 5;
    if (argc > 1) {
        char* end = nullptr;
        const long asked = std::strtol(argv[1], &end, 10);
        if (*argv[1] == '\0' || *end != '\0' || asked < 1 || asked > 1000) {
            std::fprintf(stderr, "usage: curl_fetch_bench [ROUNDS from 1 to 1000 [ANSWER...]]\n");
            return 2;
        }
        rounds = static_cast<int>(asked);
    }
    std::printf("%-11s %6s %9s %14s %14s %10s %6s %9s %9s %11s %6s\n", "answer", "rounds", "body MiB", "fetch ms best",
                "curl ms best", "fetch/curl", "goal", "(median)", "peak MiB", "peak/body", "goal");
    qz::CurlTransport transport;
    std::vector<const char*> answers(argv + std::min(argc, 2), argv + argc);
    if (answers.empty())
        answers = {"big64", "big64nolen"};
    for (const char* uin : answers) {
        qz::Text address = qz::query_address(uin);
        curl_ms(address.c_str());  // the stand-in builds the body once
        std::vector<double> fetch_times, curl_times, peaks;
        std::size_t body = 0;
        for (int i = 0; i < rounds; ++i) {
            long before = status_kib("VmRSS");
            bool peak_ok = reset_peak();
            double t0 = now_ms();
            qz::ByteSet page = qz::fetch_page(address.view(), transport);
            double t1 = now_ms();
            long peak = status_kib("VmHWM");
            body = page.size();
            page = qz::ByteSet();
            fetch_times.push_back(t1 - t0);
            curl_times.push_back(curl_ms(address.c_str()));
            peaks.push_back(peak_ok && before >= 0 && peak >= 0 ? (peak - before) / 1024.0 : -1);
        }
        double f = best(fetch_times), c = best(curl_times), p = median(peaks);
        double fm = median(fetch_times), cm = median(curl_times);
        double mib = static_cast<double>(body) / 1048576.0;
        std::printf("%-11s %6d %9.1f %14.1f %14.1f %10.3f %6.2f %9.3f %9.1f %11.3f %6.2f\n", uin, rounds, mib, f, c,
                    c > 0 ? f / c : -1.0, kTimeGoal, cm > 0 ? fm / cm : -1.0, p, mib > 0 ? p / mib : -1.0, kMemoryGoal);
    }
    return 0;
}
