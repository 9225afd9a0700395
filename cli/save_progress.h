// Progress of a save run on standard error: a one-line bar on a terminal,
// a line per module otherwise, nothing when quiet.
#pragma once

#include <chrono>
#include <cstdint>

#include "save_plan.h"

namespace qz::cli {

class SaveProgress {
public:
    SaveProgress(bool quiet, std::size_t total);
    void bytes(std::uint64_t count);
    void module_done(const Module& module);
    // Ends the bar's line.
    void finish();

private:
    void draw(bool force);

    bool quiet_;
    bool terminal_;
    std::size_t total_;
    std::size_t done_ = 0;
    std::size_t failed_ = 0;
    std::uint64_t bytes_ = 0;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point drawn_{};
};

}  // namespace qz::cli
