// Skin n as the look of the program's windows: its CSS given to GTK.
#include "skin_gtk.h"

#include <gtk/gtk.h>

#include <cstdio>

#include "owned.h"
#include "skin_css.h"
#include "skin_format.h"
#include "skin_table.h"

namespace qz {
namespace {

// The skins are compiled into the program as a GResource bundle.
HeldBytes held_skin(int number)
{
    char path[64];
    std::snprintf(path, sizeof path, "/org/qzflash/skins/skin%02d.she", number);
    GBytes* bytes = g_resources_lookup_data(path, G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
    if (!bytes)
        return {};
    gsize size = 0;
    const void* data = g_bytes_get_data(bytes, &size);
    // Compiled-in resource data is static: it stays when the GBytes goes.
    g_bytes_unref(bytes);
    return {static_cast<const unsigned char*>(data), size};
}

std::string texture_url(const skinh::Skin& skin)
{
    if (!skin.texture)
        return {};
    const gsize stride = gsize(skin.texture_width) * 3;
    Owned<GBytes*, g_bytes_unref> pixels(g_bytes_new(skin.texture, stride * skin.texture_height));
    Owned<GdkTexture*, g_object_unref> texture(gdk_memory_texture_new(int(skin.texture_width), int(skin.texture_height),
                                                                      GDK_MEMORY_B8G8R8, pixels.get(), stride));
    Owned<GBytes*, g_bytes_unref> png(gdk_texture_save_to_png_bytes(texture.get()));
    if (!png)
        return {};
    gsize size = 0;
    const char* data = static_cast<const char*>(g_bytes_get_data(png.get(), &size));
    return data_url("image/png", std::string_view(data, size));
}

void count_error(GtkCssProvider*, GtkCssSection*, GError*, gpointer errors) { ++*static_cast<int*>(errors); }

}  // namespace

std::string skin_style_sheet(int number)
{
    ByteSet bytes = select_skin(number, held_skin);
    skinh::Skin skin{};
    if (skinh::parse_skin(bytes.data(), bytes.size(), &skin) != skinh::kOk)
        return {};
    // The texture points into `bytes`: it is made into a PNG before they go.
    return skin_css(skin, texture_url(skin));
}

int install_style_sheet(const std::string& css)
{
    int errors = 0;
    Owned<GtkCssProvider*, g_object_unref> provider(gtk_css_provider_new());
    const gulong handler = g_signal_connect(provider.get(), "parsing-error", G_CALLBACK(count_error), &errors);
    gtk_css_provider_load_from_data(provider.get(), css.c_str(), static_cast<gssize>(css.size()));
    g_signal_handler_disconnect(provider.get(), handler);
    if (GdkDisplay* display = gdk_display_get_default())
        gtk_style_context_add_provider_for_display(display, GTK_STYLE_PROVIDER(provider.get()),
                                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    return errors;
}

void apply_skin(int number)
{
    const std::string css = skin_style_sheet(number);
    if (!css.empty())
        install_style_sheet(css);
}

}  // namespace qz
