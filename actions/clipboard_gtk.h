// The desktop clipboard through GDK.
#pragma once

#include "action_ports.h"

namespace qz {

// The default display's clipboard; borrows nothing.
class GdkClipboardPort final : public Clipboard {
public:
    // `text` is bytes of the service's code page; the clipboard gets UTF-8,
    // with the bytes that are not GBK written as %XX.
    CopyOutcome put_text(std::string_view text) override;
};

}  // namespace qz
