// File operations on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>

#include "file_io.h"

namespace qz::cli {

bool read_file_prefix(const std::string& path, std::size_t limit, std::string& prefix, std::uint64_t& length,
                      std::string& error)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (ok && !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = "not a regular file";
        return false;
    }
    prefix.assign(ok ? std::min<std::uint64_t>(limit, static_cast<std::uint64_t>(st.st_size)) : 0, '\0');
    const std::size_t asked = prefix.size();
    std::size_t have = 0;
    while (ok && have < prefix.size()) {
        ssize_t got = ::read(fd, prefix.data() + have, prefix.size() - have);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        have += static_cast<std::size_t>(got);
    }
    if (!ok)
        error = std::strerror(errno);
    ::close(fd);
    prefix.resize(have);
    // A file that shrank while being read counts as what was there.
    length = have < asked ? have : static_cast<std::uint64_t>(st.st_size);
    return ok;
}

std::FILE* open_for_reading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

}  // namespace qz::cli
