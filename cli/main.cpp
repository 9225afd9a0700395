// qzflash-cli: the search core from the command line, for scripts and diagnostics.
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include "wide_names_win.h"
#endif

namespace qz::cli {

int usage(const std::string& problem)
{
    std::fprintf(stderr,
                 "qzflash-cli: %s; usage: qzflash-cli rows [--json] [FILE] | query ACCOUNT | search ACCOUNT"
                 " | info [--json] FILE|URL...\n"
                 "       qzflash-cli save [--out DIR] [--jobs N] [--rate R] [--retries K] [--max-size SIZE]"
                 " [--connect-timeout S] [--stall-timeout S] [--quiet] [--json] (ACCOUNT... | --page FILE)\n",
                 problem.c_str());
    return kExitUsage;
}

}  // namespace qz::cli

static int run_command(int argc, char** argv)
{
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    // The arguments as UTF-8 from the wide command line, so that file names
    // outside the ANSI code page arrive whole. Account numbers stay ANSI
    // bytes, as the window reads them.
    std::vector<std::string> utf8_args;
    std::vector<char*> utf8_argv;
    int wide_count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &wide_count)) {
        for (int i = 0; i < wide_count; ++i)
            utf8_args.push_back(qz::cli::utf8_from_wide(wide[i]));
        LocalFree(wide);
    }
    for (auto& arg : utf8_args)
        utf8_argv.push_back(arg.data());
    std::vector<char*> mixed_argv(argv, argv + argc);
    if (argc >= 2 && static_cast<int>(utf8_argv.size()) == argc) {
        std::string command = argv[1];
        if (command == "info" || command == "rows") {
            argv = utf8_argv.data();
        } else if (command == "save") {
            // Folders and page files by their full names; accounts stay bytes.
            for (int i = 3; i < argc; ++i)
                if (std::string(argv[i - 1]) == "--out" || std::string(argv[i - 1]) == "--page")
                    mixed_argv[static_cast<std::size_t>(i)] = utf8_argv[static_cast<std::size_t>(i)];
            argv = mixed_argv.data();
        }
    }
#endif
    using namespace qz::cli;
    if (argc < 2)
        return usage("no command");
    std::string command = argv[1];
    if (command == "rows")
        return rows_command(argc - 2, argv + 2);
    if (command == "query")
        return query_command(argc - 2, argv + 2);
    if (command == "search")
        return search_command(argc - 2, argv + 2);
    if (command == "info")
        return info_command(argc - 2, argv + 2);
    if (command == "save")
        return save_command(argc - 2, argv + 2);
    return usage("unknown command '" + command + "'");
}

int main(int argc, char** argv)
{
    const int status = run_command(argc, argv);
    // Rows lost to a full disk or a closed pipe must not pass for printed ones.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("qzflash-cli: cannot write the output\n", stderr);
        return 1;
    }
    return status;
}
