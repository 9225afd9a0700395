// The file system for installing the skin library, through the ANSI calls.
#include "install_files_win.h"

#include <windows.h>

namespace qz {
namespace {

// Owns a file handle; move-only.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(FileHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = INVALID_HANDLE_VALUE; }
    FileHandle& operator=(FileHandle&&) = delete;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { close(); }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Closing can be where a full disk shows, so its result counts.
    bool close()
    {
        if (!valid())
            return true;
        const bool closed = CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

}  // namespace

bool Win32InstallFiles::exists(const char* path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

bool Win32InstallFiles::write_whole(const char* path, std::string_view bytes)
{
    FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    DWORD written = 0;
    const bool wrote =
        WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    const bool flushed = wrote && FlushFileBuffers(file.get());
    return file.close() && flushed;
}

bool Win32InstallFiles::move_new(const char* from, const char* to)
{
    return MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH) != FALSE;  // no REPLACE_EXISTING
}

void Win32InstallFiles::remove(const char* path) { DeleteFileA(path); }

void Win32InstallFiles::set_hidden_only(const char* path) { SetFileAttributesA(path, FILE_ATTRIBUTE_HIDDEN); }

}  // namespace qz
