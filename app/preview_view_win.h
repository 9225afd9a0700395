// The preview view: the WebBrowser control hosted through atl.dll in a white child window.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include "controls.h"
#include "handles_win.h"

namespace qz {

inline constexpr wchar_t kWebBrowserClsid[] = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";

// Owns the browser's interface, atl.dll and the last address; the host
// window belongs to its parent and goes with it.
class WebPreview final : public PreviewView {
public:
    WebPreview() = default;
    WebPreview(const WebPreview&) = delete;
    WebPreview& operator=(const WebPreview&) = delete;
    // Releases the browser, then atl.dll; the host window must be gone by
    // then, so the main window destroys its windows first.
    ~WebPreview() override;

    // Makes the white host at the rectangle inside `parent`, the browser
    // filling it, disabled, with its settings; false when any part is
    // missing (what was made goes with the parent window).
    bool create(HWND parent, int left, int top, int width, int height);
    HWND host() const { return host_; }

    void set_address(const char* address) override;
    Text address() override;
    // The browser's own answer (get_LocationURL), in the ANSI code page.
    Text location_url();
    // Drops the browser's interface before its windows go.
    void release_browser() { browser_.reset(); }

private:
    OwnedLibrary atl_;
    ComRef<IWebBrowser2> browser_;
    HWND host_ = nullptr;
    Text address_;
};

}  // namespace qz
