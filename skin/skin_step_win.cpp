// The skin step: install the skin library beside the program, attach a skin.
#include "skin_step_win.h"

#include <windows.h>

#include <utility>

#include "held_data_win.h"
#include "install_files_win.h"
#include "skin_paths.h"
#include "skin_table.h"
#include "text.h"

namespace qz {
namespace {

using AttachRes = int(WINAPI*)(const unsigned char* data, int size, const char* text, int, int, int);

// Owns a loaded library; move-only.
class Library {
public:
    Library() = default;
    explicit Library(HMODULE module) : module_(module) {}
    Library(Library&& other) noexcept : module_(other.module_) { other.module_ = nullptr; }
    Library& operator=(Library&& other) noexcept
    {
        if (this != &other) {
            reset();
            module_ = other.module_;
            other.module_ = nullptr;
        }
        return *this;
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library() { reset(); }
    HMODULE get() const { return module_; }
    void reset()
    {
        if (module_)
            FreeLibrary(module_);
        module_ = nullptr;
    }

private:
    HMODULE module_ = nullptr;
};

// The program-wide library binding: made by the first call, kept to the end.
struct Binding {
    Library library;
    AttachRes attach = nullptr;  // points into library
};
Binding g_binding;

// The bare name by the system's search, but never from the current
// directory, where anyone may have put a file of that name.
HMODULE load_bare_name()
{
    // The program's folder, System32 and added folders only. Systems without
    // that search (Windows 7 before KB2533623) refuse the flag; there the
    // empty DLL directory takes the current directory out instead, which is
    // all Windows needs but which Wine does not honour.
    HMODULE module = LoadLibraryExA(kSkinLibraryName, nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER)
        return module;
    SetDllDirectoryA("");
    return LoadLibraryA(kSkinLibraryName);
}

AttachRes bound_attach(const Text& path)
{
    if (g_binding.attach)
        return g_binding.attach;
    Library library(LoadLibraryA(path.c_str()));
    if (!library.get())
        library = Library(load_bare_name());
    FARPROC found = library.get() ? GetProcAddress(library.get(), kSkinAttachName) : nullptr;
    if (!found) {
        library.reset();
        fatal("无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令“SkinH_AttachRes”");
    }
    g_binding.library = std::move(library);
    g_binding.attach = reinterpret_cast<AttachRes>(reinterpret_cast<void (*)()>(found));
    return g_binding.attach;
}

}  // namespace

void run_skin_step(int skin_number)
{
    char program[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    const Text run_dir = run_directory(std::string_view(program, length < MAX_PATH ? length : MAX_PATH - 1));
    Win32InstallFiles files;
    install_skin_library(run_dir.view(), held_skin_library(), files);

    const Text path = library_path(run_dir.view());
    AttachRes attach = bound_attach(path);
    ByteSet skin = select_skin(skin_number, held_skin);
    attach(skin.data(), int(skin.size()), "", 0, 0, 0);  // the result is the library's own affair
}

void release_skin_library()
{
    g_binding.attach = nullptr;
    g_binding.library.reset();
}

}  // namespace qz
