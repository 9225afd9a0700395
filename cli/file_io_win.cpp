// File operations on Windows, through the wide calls.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "file_io.h"
#include "wide_names_win.h"

namespace qz::cli {

bool read_file_prefix(const std::string& path, std::size_t limit, std::string& prefix, std::uint64_t& length,
                      std::string& error)
{
    HANDLE file = CreateFileW(wide_from_utf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = system_message(GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) != 0;
    prefix.assign(ok ? static_cast<std::size_t>(std::min<std::uint64_t>(limit, size.QuadPart)) : 0, '\0');
    const std::size_t asked = prefix.size();
    std::size_t have = 0;
    while (ok && have < asked) {
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(asked - have, 1u << 20));
        ok = ReadFile(file, prefix.data() + have, want, &got, nullptr) != 0;
        if (!ok || got == 0)
            break;
        have += got;
    }
    if (!ok)
        error = system_message(GetLastError());
    CloseHandle(file);
    prefix.resize(have);
    length = have < asked ? have : static_cast<std::uint64_t>(size.QuadPart);
    return ok;
}

std::FILE* open_for_reading(const std::string& path) { return _wfopen(wide_from_utf8(path).c_str(), L"rb"); }

}  // namespace qz::cli
