// qzflash-cli: the search core from the command line, for scripts and diagnostics.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "extract.h"
#include "fetch.h"
#include "query.h"
#include "text.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "wininet_transport.h"
#endif

namespace {

constexpr char kUsage[] = "usage: qzflash-cli rows [FILE] | query ACCOUNT | search ACCOUNT\n";

// Prints each row as the list would hold it: number, tab, address with every
// byte outside printable ASCII, and the backslash, as \xHH.
class PrintedRows final : public qz::ResultRows {
public:
    int row_count() override { return count_; }
    int insert_row(int index, const char* text) override
    {
        std::fputs(text, stdout);
        return index == count_ ? count_++ : -1;
    }
    void set_cell(int, int, const char* text) override
    {
        std::string line = "\t";
        for (const char* p = text; *p; ++p) {
            unsigned char byte = static_cast<unsigned char>(*p);
            if (byte < 0x20 || byte > 0x7E || byte == '\\') {
                char escaped[5];
                std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
                line += escaped;
            } else {
                line += static_cast<char>(byte);
            }
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }

private:
    int count_ = 0;
};

int usage(const char* problem)
{
    std::fprintf(stderr, "qzflash-cli: %s; %s", problem, kUsage);
    return 2;
}

void print_rows(qz::ByteSet body)
{
    qz::Text page = qz::text_of(std::move(body));
    PrintedRows rows;
    qz::extract_modules(page.view(), rows);
}

int rows_command(const char* path)
{
    std::FILE* in = path ? std::fopen(path, "rb") : stdin;
    if (!in) {
        std::fprintf(stderr, "qzflash-cli: cannot open %s: %s\n", path, std::strerror(errno));
        return 2;
    }
    qz::ByteSet body;
    static char chunk[1 << 16];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) != 0)
        body.append(chunk, got);
    bool failed = std::ferror(in) != 0;
    if (path)
        std::fclose(in);
    if (failed)
        return usage("cannot read the page");
    print_rows(std::move(body));
    return 0;
}

}  // namespace

static int run_command(int argc, char** argv)
{
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    if (argc < 2)
        return usage("no command");
    std::string command = argv[1];
    if (command == "rows") {
        if (argc > 3)
            return usage("rows takes at most one file");
        return rows_command(argc == 3 ? argv[2] : nullptr);
    }
    if (command == "query" || command == "search") {
        if (argc != 3)
            return usage((command + " takes one account").c_str());
        qz::Text address = qz::query_address(argv[2]);
        if (command == "query") {
            std::fwrite(address.c_str(), 1, address.size(), stdout);
            std::fputc('\n', stdout);
            return 0;
        }
#ifdef _WIN32
        qz::WinInetTransport transport;
        print_rows(qz::fetch_page(address.view(), transport));
        return 0;
#else
        return usage("search needs the Windows build (WinINet)");
#endif
    }
    return usage(("unknown command '" + command + "'").c_str());
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
