// The preview view: a WebKitGTK web view, loaded when the window is built.
#include "preview_view_gtk.h"

#include <dlfcn.h>

#include <string>

#include "gbk.h"

namespace qz {
namespace {

constexpr char kWebKitLibrary[] = "libwebkitgtk-6.0.so.4";
// Never unmapped, even when our handle goes: the GObject types it registered
// outlive any handle.

}  // namespace

void WebPreview::close_library(void* library) { dlclose(library); }

WebPreview::~WebPreview()
{
    // The view must go while the library that draws it is still there.
    view_.reset();
}

bool WebPreview::create()
{
    library_.reset(dlopen(kWebKitLibrary, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (!library_)
        return false;
    using NewView = GtkWidget* (*)();
    auto new_view = reinterpret_cast<NewView>(dlsym(library_.get(), "webkit_web_view_new"));
    load_uri_ = reinterpret_cast<LoadUri>(dlsym(library_.get(), "webkit_web_view_load_uri"));
    if (!new_view || !load_uri_)
        return false;
    GtkWidget* view = new_view();
    if (!view)
        return false;
    view_.reset(GTK_WIDGET(g_object_ref_sink(view)));
    // It shows what it loads but takes no input and never the focus.
    gtk_widget_set_sensitive(view, FALSE);
    gtk_widget_set_focusable(view, FALSE);
    gtk_widget_set_can_focus(view, FALSE);
    gtk_widget_set_can_target(view, FALSE);
    return true;
}

void WebPreview::set_address(const char* address)
{
    address_ = Text(address ? address : "");
    const std::string uri = clipboard_text_from_gbk(address_.view());
    load_uri_(view_.get(), uri.c_str());
}

Text WebPreview::address() { return address_.absent() ? Text() : Text(address_.view()); }

}  // namespace qz
