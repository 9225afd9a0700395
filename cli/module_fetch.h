// Downloading the modules of a save run into the output folder.
#pragma once

#include <csignal>
#include <vector>

#include "output_folder.h"
#include "save_plan.h"
#include "save_progress.h"

namespace qz::cli {

// Fetches each module into a part file and commits it, filling in its
// result; stops early (parts removed) once `stop` is set.
void fetch_modules(const std::vector<Module*>& modules, const SaveOptions& options, OutputFolder& folder,
                   SaveProgress& progress, const volatile std::sig_atomic_t& stop);

// The first `limit` bytes of the body at `url` and the body's whole length
// (the rest is read and dropped, up to `max_size`); false with `error` for
// a failure or a status other than 2xx.
bool fetch_url_prefix(const std::string& url, std::size_t limit, std::uint64_t max_size, std::string& prefix,
                      std::uint64_t& length, std::string& error);

// The host part of an address, for the per-host rate.
std::string host_of(const std::string& address);

}  // namespace qz::cli
