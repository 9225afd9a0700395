// What a save run does, platform-neutral: options, the modules of the pages
// (one per distinct address), their results, and the manifest.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "movie_header.h"

namespace qz::cli {

inline constexpr char kManifestName[] = "qzflash-manifest.json";

struct SaveOptions {
    std::string out = ".";
    int jobs = 4;
    double rate = 4;  // requests per second per host; 0: no limit
    int retries = 3;
    std::uint64_t max_size = std::uint64_t(256) << 20;
    double connect_timeout = 15;  // seconds
    double stall_timeout = 30;    // seconds without a byte
    bool quiet = false;
    bool json = false;
    std::vector<std::string> accounts;
    std::vector<std::string> page_files;
};

// Parses the arguments after "save"; nullopt with `problem` set on a usage
// error.
std::optional<SaveOptions> parse_save_options(int argc, char** argv, std::string& problem);

struct ModuleResult {
    bool done = false;     // saved now or already there
    bool already = false;  // nothing was written: the same bytes were there
    std::string failure;   // why not, when !done
    std::string file;      // relative to the output folder, "/"-separated
    long status = 0;       // HTTP status of the last answer
    std::uint64_t length = 0;
    std::string sha256;   // hex
    std::string fetched;  // UTC, ISO 8601
    MovieReading movie;
    int attempts = 0;
};

struct Module {
    std::string address;  // GBK bytes as extracted
    std::string name;     // save_name(address)
    std::vector<std::string> accounts;
    std::vector<std::string> pages;  // query addresses or page files
    ModuleResult result;
};

// Adds the addresses of one page to `modules`, once per distinct address.
void add_page_modules(std::vector<Module>& modules, const std::vector<std::string>& addresses,
                      const std::string& account, const std::string& page);

// A manifest entry of the module, and the merge of a run into a manifest
// read from disk (null or anything unreadable starts a new one).
nlohmann::json module_json(const Module& module);
nlohmann::json merged_manifest(nlohmann::json old, const std::vector<Module>& modules);

// What the manifest says about an address: the file, length and digest of a
// save that succeeded, if any.
struct KnownFile {
    std::string file;
    std::uint64_t length = 0;
    std::string sha256;
};
std::optional<KnownFile> known_file(const nlohmann::json& manifest, const std::string& address);

// The current time as "2026-12-11T18:20:00Z".
std::string utc_now();

}  // namespace qz::cli
