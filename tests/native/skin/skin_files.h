// The generated skin files, read from the build folder for the native tests.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace qz::test {

inline std::vector<unsigned char> read_skin_file(int number)
{
    char name[64];
    std::snprintf(name, sizeof name, "/skin%02d.she", number);
    std::vector<unsigned char> bytes;
    if (std::FILE* f = std::fopen((std::string(QZ_SKIN_DIR) + name).c_str(), "rb")) {
        unsigned char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}

}  // namespace qz::test
