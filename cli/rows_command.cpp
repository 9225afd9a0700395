// rows, query and search: the search core's answers as text or JSON.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "extract.h"
#include "fetch.h"
#include "file_io.h"
#include "json_out.h"
#include "query.h"
#include "text.h"

#ifdef _WIN32
#include "wininet_transport.h"
#else
#include "curl_transport.h"
#endif

namespace qz::cli {
namespace {

// Keeps the rows as the list would hold them: number and address bytes.
class CollectedRows final : public ResultRows {
public:
    struct Row {
        std::string number;
        std::string address;
    };
    std::vector<Row> rows;

    int row_count() override { return static_cast<int>(rows.size()); }
    int insert_row(int index, const char* text) override
    {
        if (index != row_count())
            return -1;
        rows.push_back({text, {}});
        return index;
    }
    void set_cell(int row, int column, const char* text) override
    {
        if (column == 1 && row >= 0 && row < row_count())
            rows[static_cast<std::size_t>(row)].address = text;
    }
};

// Number, tab, address with every byte outside printable ASCII, and the
// backslash, as \xHH.
void print_text(const CollectedRows& rows)
{
    for (const auto& row : rows.rows) {
        std::string line = row.number + "\t";
        for (char c : row.address) {
            auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte > 0x7E || byte == '\\') {
                char escaped[5];
                std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
                line += escaped;
            } else {
                line += c;
            }
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
}

void print_rows(ByteSet body, bool json)
{
    Text page = text_of(std::move(body));
    CollectedRows rows;
    extract_modules(page.view(), rows);
    if (!json)
        return print_text(rows);
    nlohmann::json list = nlohmann::json::array();
    for (const auto& row : rows.rows) {
        nlohmann::json item = {{"number", std::stoi(row.number)}};
        put_address(item, row.address);
        list.push_back(std::move(item));
    }
    print_json({{"rows", std::move(list)}});
}

// Splits off --json; what is left are the operands.
bool take_json_flag(int argc, char** argv, std::vector<const char*>& operands)
{
    bool json = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0)
            json = true;
        else
            operands.push_back(argv[i]);
    }
    return json;
}

}  // namespace

int rows_command(int argc, char** argv)
{
    std::vector<const char*> operands;
    bool json = take_json_flag(argc, argv, operands);
    if (operands.size() > 1)
        return usage("rows takes at most one file");
    const char* path = operands.empty() ? nullptr : operands[0];
    std::FILE* in = path ? open_for_reading(path) : stdin;
    if (!in) {
        std::fprintf(stderr, "qzflash-cli: cannot open %s: %s\n", path, std::strerror(errno));
        return kExitUsage;
    }
    ByteSet body;
    static char chunk[1 << 16];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) != 0)
        body.append(chunk, got);
    bool failed = std::ferror(in) != 0;
    if (path)
        std::fclose(in);
    if (failed)
        return usage("cannot read the page");
    print_rows(std::move(body), json);
    return kExitOk;
}

int query_command(int argc, char** argv)
{
    if (argc != 1)
        return usage("query takes one account");
    Text address = query_address(argv[0]);
    std::fwrite(address.c_str(), 1, address.size(), stdout);
    std::fputc('\n', stdout);
    return kExitOk;
}

int search_command(int argc, char** argv)
{
    std::vector<const char*> operands;
    bool json = take_json_flag(argc, argv, operands);
    if (operands.size() != 1)
        return usage("search takes one account");
    Text address = query_address(operands[0]);
#ifdef _WIN32
    WinInetTransport transport;
#else
    CurlTransport transport;
#endif
    print_rows(fetch_page(address.view(), transport), json);
    return kExitOk;
}

}  // namespace qz::cli
