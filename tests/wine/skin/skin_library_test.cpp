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
