// UTF-8 and the wide strings of Windows' file calls.
#pragma once

#include <windows.h>

#include <string>

namespace qz::cli {

std::wstring wide_from_utf8(const std::string& utf8);
std::string utf8_from_wide(const wchar_t* wide);
// The system's text for an error code, on one line.
std::string system_message(DWORD code);

}  // namespace qz::cli
