// Progress of a save run on standard error.
#include "save_progress.h"

#include <cstdio>
#include <string>

#include "gbk_text.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace qz::cli {

SaveProgress::SaveProgress(bool quiet, std::size_t total) : quiet_(quiet), total_(total)
{
#ifdef _WIN32
    terminal_ = _isatty(_fileno(stderr)) != 0;
#else
    terminal_ = isatty(fileno(stderr)) != 0;
#endif
}

void SaveProgress::bytes(std::uint64_t count)
{
    bytes_ += count;
    draw(false);
}

void SaveProgress::module_done(const Module& module)
{
    ++done_;
    if (!module.result.done)
        ++failed_;
    if (quiet_)
        return;
    if (terminal_) {
        draw(true);
        return;
    }
    std::string address = utf8_from_gbk(module.address);
    if (module.result.done)
        std::fprintf(stderr, "%s %s -> %s (%llu bytes)\n", module.result.already ? "kept" : "saved", address.c_str(),
                     module.result.file.c_str(), static_cast<unsigned long long>(module.result.length));
    else
        std::fprintf(stderr, "failed %s: %s\n", address.c_str(), module.result.failure.c_str());
}

void SaveProgress::draw(bool force)
{
    if (quiet_ || !terminal_)
        return;
    auto now = std::chrono::steady_clock::now();
    if (!force && now - drawn_ < std::chrono::milliseconds(200))
        return;
    drawn_ = now;
    double seconds = std::chrono::duration<double>(now - start_).count();
    constexpr int kWidth = 24;
    int filled = total_ ? static_cast<int>(kWidth * done_ / total_) : kWidth;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kWidth, '.');
    std::fprintf(stderr, "\r[%s] %zu/%zu modules, %zu failed, %.1f MB, %.1f MB/s ", bar.c_str(), done_, total_, failed_,
                 bytes_ / 1e6, seconds > 0 ? bytes_ / 1e6 / seconds : 0.0);
    std::fflush(stderr);
}

void SaveProgress::finish()
{
    if (!quiet_ && terminal_) {
        draw(true);
        std::fputc('\n', stderr);
    }
}

}  // namespace qz::cli
