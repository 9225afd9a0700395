// What a save run does, platform-neutral: options, modules, the manifest.
#include "save_plan.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "json_out.h"
#include "save_names.h"

namespace qz::cli {
namespace {

bool parse_number(const char* text, double& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && errno == 0 && value >= 0 && value < 1e12;
}

// "256M", "1G", "4096", "512K".
bool parse_size(const char* text, std::uint64_t& value)
{
    char* end = nullptr;
    errno = 0;
    unsigned long long n = std::strtoull(text, &end, 10);
    if (end == text || errno != 0 || text[0] == '-')
        return false;
    int shift = 0;
    if (*end == 'K' || *end == 'k')
        shift = 10;
    else if (*end == 'M' || *end == 'm')
        shift = 20;
    else if (*end == 'G' || *end == 'g')
        shift = 30;
    if (shift)
        ++end;
    if (*end != '\0' || n > (~0ull >> shift))
        return false;
    value = static_cast<std::uint64_t>(n) << shift;
    return true;
}

void add_unique(std::vector<std::string>& list, const std::string& item)
{
    if (std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

nlohmann::json strings(const std::vector<std::string>& list)
{
    nlohmann::json out = nlohmann::json::array();
    for (const auto& s : list)
        out.push_back(s);  // invalid UTF-8 is replaced when the JSON is written
    return out;
}

}  // namespace

std::optional<SaveOptions> parse_save_options(int argc, char** argv, std::string& problem)
{
    SaveOptions options;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                problem = arg + " needs a value";
                return nullptr;
            }
            return argv[++i];
        };
        double number = 0;
        if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--out") {
            const char* v = value();
            if (!v)
                return std::nullopt;
            options.out = v;
        } else if (arg == "--page") {
            const char* v = value();
            if (!v)
                return std::nullopt;
            options.page_files.emplace_back(v);
        } else if (arg == "--jobs" || arg == "--rate" || arg == "--retries" || arg == "--connect-timeout" ||
                   arg == "--stall-timeout") {
            const char* v = value();
            if (!v)
                return std::nullopt;
            if (!parse_number(v, number)) {
                problem = arg + " wants a number, not '" + v + "'";
                return std::nullopt;
            }
            if (arg == "--jobs") {
                if (number < 1 || number > 64 || number != static_cast<int>(number)) {
                    problem = "--jobs wants a whole number from 1 to 64";
                    return std::nullopt;
                }
                options.jobs = static_cast<int>(number);
            } else if (arg == "--rate") {
                options.rate = number;
            } else if (arg == "--retries") {
                if (number > 20 || number != static_cast<int>(number)) {
                    problem = "--retries wants a whole number up to 20";
                    return std::nullopt;
                }
                options.retries = static_cast<int>(number);
            } else if (arg == "--connect-timeout") {
                options.connect_timeout = number;
            } else {
                options.stall_timeout = number;
            }
        } else if (arg == "--max-size") {
            const char* v = value();
            if (!v)
                return std::nullopt;
            if (!parse_size(v, options.max_size) || options.max_size == 0) {
                problem = std::string("--max-size wants a size such as 256M, not '") + v + "'";
                return std::nullopt;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            problem = "unknown option '" + arg + "'";
            return std::nullopt;
        } else {
            options.accounts.push_back(arg);
        }
    }
    if (options.accounts.empty() && options.page_files.empty()) {
        problem = "save takes one or more accounts, or --page FILE";
        return std::nullopt;
    }
    return options;
}

void add_page_modules(std::vector<Module>& modules, const std::vector<std::string>& addresses,
                      const std::string& account, const std::string& page)
{
    for (const auto& address : addresses) {
        auto it = std::find_if(modules.begin(), modules.end(), [&](const Module& m) { return m.address == address; });
        if (it == modules.end()) {
            modules.push_back({address, save_name(address), {}, {}, {}});
            it = modules.end() - 1;
        }
        if (!account.empty())
            add_unique(it->accounts, account);
        add_unique(it->pages, page);
    }
}

nlohmann::json module_json(const Module& module)
{
    nlohmann::json entry;
    put_address(entry, module.address);
    entry["accounts"] = strings(module.accounts);
    entry["pages"] = strings(module.pages);
    const ModuleResult& r = module.result;
    if (r.done) {
        entry["file"] = r.file;
        entry["status"] = r.status;
        entry["length"] = r.length;
        entry["sha256"] = r.sha256;
        entry["fetched"] = r.fetched;
        if (r.movie.header)
            entry["header"] = header_json(*r.movie.header);
        else
            entry["header_failure"] = r.movie.failure;
    } else {
        entry["failure"] = r.failure;
        if (r.status)
            entry["status"] = r.status;
        entry["fetched"] = r.fetched;
    }
    return entry;
}

nlohmann::json merged_manifest(nlohmann::json old, const std::vector<Module>& modules)
{
    if (!old.is_object() || !old.contains("modules") || !old["modules"].is_object())
        old = {{"modules", nlohmann::json::object()}};
    nlohmann::json& all = old["modules"];
    for (const auto& module : modules) {
        nlohmann::json entry = module_json(module);
        std::string key = entry["address_hex"];
        if (all.contains(key) && all[key].is_object()) {
            const nlohmann::json& before = all[key];
            // Accounts and pages add up over runs; a failure now does not
            // forget the file an earlier run saved.
            for (const char* list : {"accounts", "pages"})
                if (before.contains(list) && before[list].is_array())
                    for (const auto& item : before[list])
                        if (std::find(entry[list].begin(), entry[list].end(), item) == entry[list].end())
                            entry[list].push_back(item);
            if (!module.result.done && before.contains("file") && before.contains("sha256")) {
                for (const char* kept : {"file", "length", "sha256", "header", "header_failure"})
                    if (before.contains(kept))
                        entry[kept] = before[kept];
                entry["last_saved"] = before.value("fetched", "");
            }
        }
        all[key] = std::move(entry);
    }
    return old;
}

std::optional<KnownFile> known_file(const nlohmann::json& manifest, const std::string& address)
{
    if (!manifest.is_object() || !manifest.contains("modules") || !manifest["modules"].is_object())
        return std::nullopt;
    const auto& all = manifest["modules"];
    auto it = all.find(hex_of(address));
    if (it == all.end() || !it->is_object())
        return std::nullopt;
    const auto& e = *it;
    if (!e.contains("file") || !e["file"].is_string() || !e.contains("length") || !e["length"].is_number_unsigned() ||
        !e.contains("sha256") || !e["sha256"].is_string())
        return std::nullopt;
    return KnownFile{e["file"].get<std::string>(), e["length"].get<std::uint64_t>(), e["sha256"].get<std::string>()};
}

std::string utc_now()
{
    std::time_t now = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    gmtime_s(&tm, &now);
#else
    gmtime_r(&now, &tm);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

}  // namespace qz::cli
