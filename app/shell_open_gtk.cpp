// Opening an address with the desktop's default web browser.
#include "shell_open_gtk.h"

#include <gio/gio.h>

namespace qz {

std::string opener_uri(std::string_view address)
{
    if (address.find("://") != std::string_view::npos)
        return std::string(address);
    std::string uri = "http://";
    uri += address;
    if (address.find('/') == std::string_view::npos)
        uri += '/';
    return uri;
}

void shell_open(const char* address)
{
    const std::string uri = opener_uri(address ? address : "");
    GError* error = nullptr;
    if (g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error))
        return;
    g_clear_error(&error);
    const char* argv[] = {"xdg-open", uri.c_str(), nullptr};
    g_spawn_async(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &error);
    g_clear_error(&error);
}

}  // namespace qz
