// The window's look as GTK CSS, made from a parsed skin; no toolkit here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "skin_format.h"

namespace qz {

// The CSS class the main window carries; every rule is scoped under it or
// under the program's own dialogs, so other windows keep the desktop's look.
inline constexpr char kSkinnedWindowClass[] = "qz-skinned";

// A COLORREF (0x00BBGGRR) as "#rrggbb".
std::string css_colour(std::uint32_t colorref);

// `a` moved `percent_b` percent of the way to `b`, channel by channel, in
// integers as the Windows skin library mixes them.
std::uint32_t blend_colour(std::uint32_t a, std::uint32_t b, int percent_b);

// `bytes` as a data: URL of the given media type (base64).
std::string data_url(std::string_view media_type, std::string_view bytes);

// The style sheet for the skin: caption and frame, face colour and texture,
// buttons, frame box, entry, list and header, menu and dialogs.
// `texture_url` is the face texture as a CSS url() target, empty for none.
std::string skin_css(const skinh::Skin& skin, std::string_view texture_url);

}  // namespace qz
