// UTF-8 and the wide strings of Windows' file calls.
#include "wide_names_win.h"

namespace qz::cli {

std::wstring wide_from_utf8(const std::string& utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string utf8_from_wide(const wchar_t* wide)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return {};
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), n, nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(n - 1));
    return utf8;
}

std::string system_message(DWORD code)
{
    wchar_t* text = nullptr;
    DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = n && text ? utf8_from_wide(text) : "error " + std::to_string(code);
    if (text)
        LocalFree(text);
    while (!message.empty() &&
           (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    return message;
}

}  // namespace qz::cli
