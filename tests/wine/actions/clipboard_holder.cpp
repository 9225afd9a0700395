// A second program that holds the clipboard open until it is told to let go.
// Usage: clipboard_holder HELD_EVENT RELEASE_EVENT (names of two events).
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]);
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
    // Opened for a window of its own, as programs do: Wine lets two openers
    // that both pass no window share the clipboard.
    HWND window = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!held || !release || !window || !OpenClipboard(window))
        return 1;
    SetEvent(held);
    WaitForSingleObject(release, 20000);
    CloseClipboard();
    DestroyWindow(window);
    return 0;
}
