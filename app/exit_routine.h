// The exit routine's work: the page text goes once, and nothing when no search ran.
#pragma once

#include "text.h"

namespace qz {

// Releases the page text if it is present; true when it released something.
inline bool release_page_text(Text& page_text)
{
    if (page_text.absent())
        return false;
    page_text.reset();
    return true;
}

}  // namespace qz
