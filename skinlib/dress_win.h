// Dressing windows in the attached skin: subclassing and painting them.
#pragma once

#include <windows.h>

#include "theme_win.h"

namespace skinh {

// The skin every dressed window paints with; null before the first attach.
// Borrowed: the attach call owns it and swaps it.
void set_current_theme(const Theme* theme);

// Subclasses one window by its class (a frame, push button, group box,
// list view, header); others are left alone. Dressing twice does nothing.
void dress(HWND window);

// Dresses every window of this thread and everything under it, then redraws.
void dress_thread_windows();

// Gives every dressed window of the thread its own procedure back.
void undress_thread_windows(DWORD thread);

}  // namespace skinh
