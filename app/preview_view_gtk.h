// The preview view: a WebKitGTK web view, loaded when the window is built.
#pragma once

#include <gtk/gtk.h>

#include "controls.h"
#include "owned.h"

namespace qz {

// Owns the loaded WebKitGTK library and the view made from it. The library
// is opened at run time so that a system without it still starts and makes
// the fatal report, as the Windows program does without its browser control.
class WebPreview final : public PreviewView {
public:
    WebPreview() = default;
    WebPreview(const WebPreview&) = delete;
    WebPreview& operator=(const WebPreview&) = delete;
    ~WebPreview() override;

    // Loads the library and makes the view, insensitive and never focused,
    // blank until the first address; false when either fails.
    bool create();
    // Our reference to the view; the window's container holds another.
    GtkWidget* widget() const { return view_.get(); }

    // The address is bytes of the service's code page; the view gets it as
    // UTF-8 with bytes that are not GBK written as %XX.
    void set_address(const char* address) override;
    Text address() override;

private:
    static void close_library(void* library);
    using OwnedLibrary = Owned<void*, close_library>;
    using OwnedWidget = Owned<GtkWidget*, g_object_unref>;
    using LoadUri = void (*)(void* view, const char* uri);

    OwnedLibrary library_;
    OwnedWidget view_;            // declared after library_: goes before the code it runs
    LoadUri load_uri_ = nullptr;  // points into library_
    Text address_;
};

}  // namespace qz
