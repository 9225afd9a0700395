// info: the movie header of each file, as text or JSON.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "json_out.h"
#include "module_fetch.h"
#include "movie_file.h"
#include "save_plan.h"

namespace qz::cli {

int info_command(int argc, char** argv)
{
    bool json = false;
    std::vector<std::string> operands;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0)
            json = true;
        else if (argv[i][0] == '-' && argv[i][1] != '\0')
            return usage(std::string("unknown option '") + argv[i] + "'");
        else
            operands.emplace_back(argv[i]);
    }
    if (operands.empty())
        return usage("info takes one or more files or addresses");

    int status = kExitOk;
    nlohmann::json movies = nlohmann::json::array();
    for (const auto& operand : operands) {
        MovieReading reading;
        if (operand.rfind("http://", 0) == 0 || operand.rfind("https://", 0) == 0) {
            std::string prefix, error;
            std::uint64_t length = 0;
            if (fetch_url_prefix(operand, kMovieHeaderWindow, SaveOptions().max_size, prefix, length, error))
                reading = read_movie_header(prefix, length);
            else
                reading.failure = "cannot fetch it: " + error;
        } else {
            reading = read_movie_file(operand);
        }
        if (!reading.header) {
            std::fprintf(stderr, "qzflash-cli: %s: %s\n", operand.c_str(), reading.failure.c_str());
            status = kExitFailed;
        }
        if (json) {
            nlohmann::json item = {{"file", operand}};
            if (reading.header)
                item["header"] = header_json(*reading.header);
            else
                item["failure"] = reading.failure;
            movies.push_back(std::move(item));
        } else if (reading.header) {
            std::string line = operand + ": " + describe_header(*reading.header) + "\n";
            std::fwrite(line.data(), 1, line.size(), stdout);
        }
    }
    if (json)
        print_json({{"modules", std::move(movies)}});
    return status;
}

}  // namespace qz::cli
