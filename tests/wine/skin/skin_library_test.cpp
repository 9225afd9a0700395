// SkinH_EL.dll in process: its result codes, and the windows it dresses.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "skin_format.h"

namespace {

std::string g_dll, g_skins;  // from the command line, Linux paths

using AttachRes = int(WINAPI*)(const unsigned char*, int, const char*, int, int, int);

std::vector<unsigned char> read_file(const std::string& path)
{
    std::vector<unsigned char> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        unsigned char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}

std::vector<unsigned char> skin(int n)
{
    char name[32];
    std::snprintf(name, sizeof name, "/skin%02d.she", n);
    return read_file("Z:" + g_skins + name);
}

class SkinLibrary : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module_ = LoadLibraryA(("Z:" + g_dll).c_str());
        attach_ =
            module_
                ? reinterpret_cast<AttachRes>(reinterpret_cast<void (*)()>(GetProcAddress(module_, "SkinH_AttachRes")))
                : nullptr;
    }
    static HMODULE module_;
    static AttachRes attach_;
};
HMODULE SkinLibrary::module_ = nullptr;
AttachRes SkinLibrary::attach_ = nullptr;

HWND make_frame()
{
    HWND frame = CreateWindowExW(0, L"#32770", L"frame", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 300, 200,
                                 nullptr, nullptr, nullptr, nullptr);
    return frame;
}

HWND make_list(HWND parent)
{
    return CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 200, 100, parent, nullptr,
                           nullptr, nullptr);
}

TEST_F(SkinLibrary, BadSkinsAreRefusedWithTheirCodes)
{
    ASSERT_NE(attach_, nullptr);
    const std::vector<unsigned char> good = skin(5);
    ASSERT_EQ(good.size(), 17699u);
    std::vector<unsigned char> wrong_magic = good;
    wrong_magic[5] = 2;
    std::vector<unsigned char> bad_palette = good;
    bad_palette[6 + 8 + 4 + 8 + 3] = 1;  // a reserved byte of the palette (the name is "Jade")
    struct Case {
        const char* name;
        const unsigned char* data;
        int size;
        int result;
    } cases[] = {
        {"null", nullptr, 0, skinh::kNullData},
        {"null with a length", nullptr, 10, skinh::kNullData},
        {"length 0", good.data(), 0, skinh::kEmpty},
        {"negative length", good.data(), -5, skinh::kEmpty},
        {"wrong magic", wrong_magic.data(), int(wrong_magic.size()), skinh::kBadMagic},
        {"truncated", good.data(), int(good.size()) - 1, skinh::kTruncated},
        {"bad palette", bad_palette.data(), int(bad_palette.size()), skinh::kBadChunk},
        {"magic only", good.data(), 6, skinh::kMissingChunk},
    };
    HWND frame = make_frame();
    HWND list = make_list(frame);
    const COLORREF before = COLORREF(SendMessageW(list, LVM_GETBKCOLOR, 0, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(attach_(c.data, c.size, "", 0, 0, 0), c.result);
        EXPECT_EQ(COLORREF(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)), before);  // nothing changed
    }
    DestroyWindow(frame);
}

TEST_F(SkinLibrary, DressesWindowsMadeBeforeAndAfterAndKeepsNothingOfTheBuffer)
{
    ASSERT_NE(attach_, nullptr);
    std::vector<unsigned char> bytes = skin(5);
    skinh::Skin parsed{};
    ASSERT_EQ(skinh::parse_skin(bytes.data(), bytes.size(), &parsed), skinh::kOk);

    HWND frame = make_frame();
    HWND before = make_list(frame);
    HWND button = CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 120, 60, 24, frame,
                                  nullptr, nullptr, nullptr);
    const LONG_PTR own_proc = GetWindowLongPtrW(button, GWLP_WNDPROC);
    ASSERT_EQ(attach_(bytes.data(), int(bytes.size()), "", 0, 0, 0), skinh::kOk);
    // The caller may do what it likes with its buffer once the call is back.
    std::fill(bytes.begin(), bytes.end(), 0xEE);
    bytes.clear();
    bytes.shrink_to_fit();

    HWND after = make_list(frame);
    for (HWND list : {before, after}) {
        SCOPED_TRACE(list == before ? "list made before" : "list made after");
        EXPECT_EQ(COLORREF(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)), parsed.colour[skinh::kListBack]);
        EXPECT_EQ(COLORREF(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)), parsed.colour[skinh::kListText]);
    }
    EXPECT_NE(GetWindowLongPtrW(button, GWLP_WNDPROC), own_proc);
    ShowWindow(frame, SW_SHOW);
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);

    // The face is painted from the skin: a point of the client area is near the face colour.
    HDC dc = GetDC(frame);
    const COLORREF pixel = GetPixel(dc, 250, 60);
    ReleaseDC(frame, dc);
    const COLORREF face = parsed.colour[skinh::kFace];
    auto close_to = [](int a, int b) { return a - b < 12 && b - a < 12; };
    EXPECT_TRUE(close_to(GetRValue(pixel), GetRValue(face)) && close_to(GetGValue(pixel), GetGValue(face)) &&
                close_to(GetBValue(pixel), GetBValue(face)))
        << std::hex << "pixel " << pixel << " face " << face;
    DestroyWindow(frame);
}

// --- the dressed frame's caption: which boxes answer, and what a press does

struct Recorded {
    std::vector<WPARAM> commands;  // WM_SYSCOMMAND's command, before the system acts on it
    int closes = 0;
};
Recorded g_recorded;

LRESULT CALLBACK recording_frame(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_SYSCOMMAND) {
        g_recorded.commands.push_back(wparam & 0xFFF0);
        return 0;  // recorded only: the frame stays as it is
    }
    if (message == WM_CLOSE) {
        ++g_recorded.closes;
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

HWND make_caption_frame(DWORD style, UINT class_style)
{
    const wchar_t* name = class_style ? L"caption_frame_noclose" : L"caption_frame";
    WNDCLASSW cls{};
    cls.style = class_style;
    cls.lpfnWndProc = recording_frame;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = name;
    RegisterClassW(&cls);
    HWND frame = CreateWindowExW(0, name, L"caption", style, 50, 50, 320, 200, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(frame, SW_SHOW);
    return frame;
}

// The hit codes along the caption's middle row, run by run from the left: code, first x, end x.
struct HitRun {
    LRESULT code;
    int left, right;
};
std::vector<HitRun> caption_runs(HWND frame)
{
    RECT outer;
    GetWindowRect(frame, &outer);
    POINT client{0, 0};
    ClientToScreen(frame, &client);
    const int y = (outer.top + client.y) / 2 + 1;
    std::vector<HitRun> runs;
    for (int x = outer.left; x < outer.right; ++x) {
        const LRESULT code = SendMessageW(frame, WM_NCHITTEST, 0, MAKELPARAM(x, y));
        if (runs.empty() || runs.back().code != code)
            runs.push_back({code, x, x + 1});
        else
            runs.back().right = x + 1;
    }
    return runs;
}

std::vector<LRESULT> codes_of(const std::vector<HitRun>& runs)
{
    std::vector<LRESULT> codes;
    codes.reserve(runs.size());
    for (const HitRun& r : runs)
        codes.push_back(r.code);
    return codes;
}

TEST_F(SkinLibrary, CaptionAnswersOnlyTheBoxesItDraws)
{
    ASSERT_NE(attach_, nullptr);
    const std::vector<unsigned char> bytes = skin(5);
    ASSERT_EQ(attach_(bytes.data(), int(bytes.size()), "", 0, 0, 0), skinh::kOk);
    const DWORD fixed = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    const struct Case {
        const char* name;
        DWORD style;
        std::vector<LRESULT> inner;  // across the caption inside the frame's edges, left to right
    } cases[] = {
        {"close only", fixed, {HTSYSMENU, HTCAPTION, HTCLOSE, HTCAPTION}},
        {"minimise and close (no room kept for a maximise box)",
         fixed | WS_MINIMIZEBOX,
         {HTSYSMENU, HTCAPTION, HTMINBUTTON, HTCAPTION, HTCLOSE, HTCAPTION}},
        {"all three, sizable frame",
         fixed | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME,
         {HTSYSMENU, HTCAPTION, HTMINBUTTON, HTCAPTION, HTMAXBUTTON, HTCAPTION, HTCLOSE, HTCAPTION}},
        {"no system menu: no icon, no boxes", WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX, {HTCAPTION}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND frame = make_caption_frame(c.style, 0);
        const std::vector<HitRun> runs = caption_runs(frame);
        ASSERT_GE(runs.size(), 3u);
        const std::vector<LRESULT> codes = codes_of(runs);
        EXPECT_EQ(std::vector<LRESULT>(codes.begin() + 1, codes.end() - 1), c.inner);
        // Only a sizable frame has sizing edges.
        const bool sizable = (c.style & WS_THICKFRAME) != 0;
        for (LRESULT edge : {codes.front(), codes.back()})
            EXPECT_EQ(edge == HTBORDER, !sizable) << "edge " << edge;
        for (const HitRun& r : runs)  // every box a square as high as the band less 4
            if (r.code == HTMINBUTTON || r.code == HTMAXBUTTON || r.code == HTCLOSE) {
                EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CYCAPTION) - 4);
            }
        DestroyWindow(frame);
    }
}

TEST_F(SkinLibrary, ABoxActsOnlyWhenReleasedOnIt)
{
    ASSERT_NE(attach_, nullptr);
    const std::vector<unsigned char> bytes = skin(5);
    ASSERT_EQ(attach_(bytes.data(), int(bytes.size()), "", 0, 0, 0), skinh::kOk);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    enum Release { kOnBox, kOffBox, kCaptureLost };
    const struct Case {
        const char* name;
        LRESULT box;
        Release release;
        UINT class_style;
        bool grey_close;
        std::vector<WPARAM> commands;
    } cases[] = {
        {"minimise, released on it", HTMINBUTTON, kOnBox, 0, false, {SC_MINIMIZE}},
        {"maximise, released on it", HTMAXBUTTON, kOnBox, 0, false, {SC_MAXIMIZE}},
        {"close, released on it", HTCLOSE, kOnBox, 0, false, {SC_CLOSE}},
        {"minimise, released off it", HTMINBUTTON, kOffBox, 0, false, {}},
        {"close, released off it", HTCLOSE, kOffBox, 0, false, {}},
        {"close, capture taken away", HTCLOSE, kCaptureLost, 0, false, {}},
        {"close greyed in the system menu", HTCLOSE, kOnBox, 0, true, {}},
        {"close switched off by the class", HTCLOSE, kOnBox, CS_NOCLOSE, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND frame = make_caption_frame(style, c.class_style);
        if (c.grey_close)
            EnableMenuItem(GetSystemMenu(frame, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
        HitRun box{};
        for (const HitRun& r : caption_runs(frame))
            if (r.code == c.box)
                box = r;
        ASSERT_EQ(box.code, c.box);
        RECT outer;
        GetWindowRect(frame, &outer);
        POINT client{0, 0};
        ClientToScreen(frame, &client);
        const int y = (outer.top + client.y) / 2 + 1;
        const LPARAM on_screen = MAKELPARAM((box.left + box.right) / 2, y);
        g_recorded = {};
        SendMessageW(frame, WM_NCLBUTTONDOWN, WPARAM(c.box), on_screen);
        const bool switched_off = c.grey_close || c.class_style;
        EXPECT_EQ(GetCapture() == frame, !switched_off);  // held by the box, not by the system's tracking
        POINT release{(box.left + box.right) / 2, y};
        if (c.release == kOffBox)
            release = {(box.left + box.right) / 2, y + 60};  // into the client area
        ScreenToClient(frame, &release);
        if (c.release == kCaptureLost)
            ReleaseCapture();
        else
            SendMessageW(frame, WM_LBUTTONUP, 0, MAKELPARAM(release.x, release.y));
        EXPECT_EQ(g_recorded.commands, c.commands);
        EXPECT_NE(GetCapture(), frame);
        DestroyWindow(frame);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 2) {
        g_dll = argv[1];
        g_skins = argv[2];
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    return RUN_ALL_TESTS();
}
