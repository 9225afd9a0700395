// Reads the log tools/standin/standin.py writes: directly, or under Wine
// through its Z: drive.
#include "standin_log.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace qz::test {
namespace {

std::string log_contents()
{
    const char* linux_path = std::getenv("QZ_STANDIN_LOG");
    if (!linux_path)
        throw std::runtime_error("QZ_STANDIN_LOG is not set: run under tools/sandbox/run");
#ifdef _WIN32
    std::string path = "Z:";
    for (const char* p = linux_path; *p; ++p)
        path += *p == '/' ? '\\' : *p;
#else
    std::string path = linux_path;
#endif
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        throw std::runtime_error("cannot open the stand-in log " + path);
    std::string bytes;
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) != 0)
        bytes.append(chunk, got);
    std::fclose(f);
    return bytes;
}

}  // namespace

std::size_t standin_log_size() { return log_contents().size(); }

std::vector<std::string> requests_since(std::size_t offset)
{
    static constexpr char kMark[] = "=== request ";
    std::string log = log_contents();
    std::vector<std::string> requests;
    std::size_t at = offset;
    while (at < log.size()) {
        if (log.compare(at, sizeof kMark - 1, kMark) != 0)
            throw std::runtime_error("stand-in log out of step at byte " + std::to_string(at));
        std::size_t line_end = log.find('\n', at);
        std::size_t length = std::stoul(log.substr(at + sizeof kMark - 1, line_end - at));
        requests.push_back(log.substr(line_end + 1, length));
        at = line_end + 1 + length + 1;
    }
    return requests;
}

}  // namespace qz::test
