// The query address of the custom-window output service.
#pragma once

#include <string_view>

#include "text.h"

namespace qz {

// The QQ Zone host that serves the custom-window page.
inline constexpr std::string_view kServiceHost = "r.qzone.qq.com";

inline constexpr std::string_view kAddressPrefix = "http://r.qzone.qq.com/cgi-bin/custom/output_custom_window.cgi?uin=";
inline constexpr std::string_view kAddressSuffix = "&type=html&t=0.7202088427527454&fupdate=1&g_tk=6839";

// Prefix, account text as it stands (not trimmed, not escaped), suffix.
Text query_address(std::string_view account);

}  // namespace qz
