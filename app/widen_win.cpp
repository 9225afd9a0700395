// UTF-8 to UTF-16, for the fixed texts shown through the wide calls.
#include "handles_win.h"

namespace qz {

std::wstring widen(const char* utf8)
{
    if (!utf8 || !*utf8)
        return {};
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length) - 1);
    return wide;
}

}  // namespace qz
