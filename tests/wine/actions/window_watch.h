// Helpers for the Wine tests: a second thread that watches the modal windows
// (message boxes, popup menus) the thread under test opens, and a pump.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace qz::test {

// The first visible window of class `window_class` that `thread` owns, waited
// for up to 5 s or until `stop` is signalled; null when none came.
HWND wait_for_thread_window(DWORD thread, const wchar_t* window_class, HANDLE stop = nullptr);

// Runs `act` on this thread while `watch` runs on another, started first;
// returns when both have finished.
void act_while_watching(const std::function<void()>& act, const std::function<void()>& watch);

// Dispatches what is queued for this thread.
void pump_messages();

std::wstring window_text(HWND window);
std::wstring class_of(HWND window);

}  // namespace qz::test
