// save: every module of the pages, downloaded into the output folder, with
// the manifest beside them.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "extract.h"
#include "fetch.h"
#include "file_io.h"
#include "gbk_text.h"
#include "json_out.h"
#include "module_fetch.h"
#include "movie_file.h"
#include "output_folder.h"
#include "query.h"
#include "save_plan.h"
#include "save_progress.h"
#include "text.h"

#ifdef _WIN32
#include "wininet_transport.h"
#else
#include "curl_transport.h"
#endif

namespace qz::cli {
namespace {

volatile std::sig_atomic_t g_stop = 0;

extern "C" void on_stop_signal(int) { g_stop = 1; }

class AddressList final : public ResultRows {
public:
    std::vector<std::string> addresses;
    int row_count() override { return static_cast<int>(addresses.size()); }
    int insert_row(int index, const char*) override
    {
        if (index != row_count())
            return -1;
        addresses.emplace_back();
        return index;
    }
    void set_cell(int row, int column, const char* text) override
    {
        if (column == 1 && row >= 0 && row < row_count())
            addresses[static_cast<std::size_t>(row)] = text;
    }
};

std::vector<std::string> addresses_of(ByteSet body)
{
    Text page = text_of(std::move(body));
    AddressList list;
    extract_modules(page.view(), list);
    return list.addresses;
}

bool read_page_file(const std::string& path, ByteSet& body)
{
    std::FILE* in = open_for_reading(path);
    if (!in)
        return false;
    static char chunk[1 << 16];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) != 0)
        body.append(chunk, got);
    bool ok = std::ferror(in) == 0;
    std::fclose(in);
    return ok;
}

}  // namespace

int save_command(int argc, char** argv)
{
    std::string problem;
    auto parsed = parse_save_options(argc, argv, problem);
    if (!parsed)
        return usage(problem);
    const SaveOptions& options = *parsed;

    std::string error;
    auto folder = OutputFolder::open(options.out, error);
    if (!folder) {
        std::fprintf(stderr, "qzflash-cli: %s\n", error.c_str());
        return kExitFailed;
    }

    // The pages, each by the search's own road.
    int status = kExitOk;
    std::vector<Module> modules;
    for (const auto& path : options.page_files) {
        ByteSet body;
        if (!read_page_file(path, body))
            return usage("cannot read the page " + path);
        add_page_modules(modules, addresses_of(std::move(body)), "", path);
    }
    if (!options.accounts.empty()) {
#ifdef _WIN32
        WinInetTransport transport;
#else
        CurlTransport transport;
#endif
        for (const auto& account : options.accounts) {
            Text address = query_address(account);
            ByteSet body = fetch_page(address.view(), transport);
            if (body.empty()) {
                std::fprintf(stderr, "qzflash-cli: account %s: the page could not be fetched (or is empty)\n",
                             account.c_str());
                status = kExitFailed;
            }
            add_page_modules(modules, addresses_of(std::move(body)), account, std::string(address.view()));
        }
    }

    nlohmann::json manifest;
    if (auto text = folder->read_small(kManifestName)) {
        manifest = nlohmann::json::parse(*text, nullptr, false);
        if (manifest.is_discarded()) {
            // Kept aside rather than lost: the new manifest starts afresh.
            std::string aside = std::string(kManifestName) + ".unreadable";
            folder->write_atomically(aside, *text, error);
            std::fprintf(stderr, "qzflash-cli: %s could not be read; kept as %s\n", kManifestName, aside.c_str());
            manifest = nullptr;
        }
    }

    // Modules whose file is there with the bytes the manifest names are
    // not fetched again.
    std::vector<Module*> to_fetch;
    SaveProgress progress(options.quiet, modules.size());
    for (auto& m : modules) {
        auto known = known_file(manifest, m.address);
        if (known && folder->holds(known->file, known->length, known->sha256)) {
            m.result.done = m.result.already = true;
            m.result.file = known->file;
            m.result.length = known->length;
            m.result.sha256 = known->sha256;
            m.result.status = manifest["modules"][hex_of(m.address)].value("status", 200L);
            m.result.fetched = manifest["modules"][hex_of(m.address)].value("fetched", "");
            m.result.movie = read_movie_file(folder->path_of(known->file));
            progress.module_done(m);
        } else {
            to_fetch.push_back(&m);
        }
    }

    std::signal(SIGINT, on_stop_signal);
    std::signal(SIGTERM, on_stop_signal);
    fetch_modules(to_fetch, options, *folder, progress, g_stop);
    progress.finish();

    manifest = merged_manifest(std::move(manifest), modules);
    if (!folder->write_atomically(kManifestName, manifest.dump(2, ' ', false, nlohmann::json::error_handler_t::replace),
                                  error)) {
        std::fprintf(stderr, "qzflash-cli: cannot write %s: %s\n", kManifestName, error.c_str());
        status = kExitFailed;
    }

    nlohmann::json run = nlohmann::json::array();
    for (const auto& m : modules) {
        if (!m.result.done) {
            std::fprintf(stderr, "qzflash-cli: %s: %s\n", utf8_from_gbk(m.address).c_str(), m.result.failure.c_str());
            status = kExitFailed;
        }
        if (options.json)
            run.push_back(module_json(m));
    }
    if (options.json)
        print_json({{"modules", std::move(run)}});
    if (g_stop)
        return 130;
    return status;
}

}  // namespace qz::cli
