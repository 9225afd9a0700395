// The output folder on Windows: wide \\?\ paths, so any name and length the
// disk allows is reached; no step through a link or junction; rename
// without replacing.
#include <windows.h>

#include <cstdio>
#include <random>
#include <vector>

#include "digest.h"
#include "output_folder.h"
#include "wide_names_win.h"

namespace qz::cli {
namespace {

std::vector<std::wstring> segments_of(const std::string& name)
{
    std::vector<std::wstring> out;
    std::size_t start = 0;
    while (true) {
        std::size_t slash = name.find('/', start);
        out.push_back(wide_from_utf8(name.substr(start, slash == std::string::npos ? slash : slash - start)));
        if (slash == std::string::npos)
            return out;
        start = slash + 1;
    }
}

std::wstring part_leaf()
{
    static std::mt19937_64 random{std::random_device{}()};
    wchar_t leaf[64];
    // "~" never appears in a final name, so a part can never be taken for one.
    std::swprintf(leaf, 64, L"~qzflash-%016llx.part", static_cast<unsigned long long>(random()));
    return leaf;
}

bool real_folder(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

class OwnedFile {
public:
    explicit OwnedFile(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    OwnedFile(OwnedFile&& o) noexcept : h_(o.release()) {}
    OwnedFile& operator=(OwnedFile&& o) noexcept
    {
        if (this != &o) {
            reset();
            h_ = o.release();
        }
        return *this;
    }
    OwnedFile(const OwnedFile&) = delete;
    OwnedFile& operator=(const OwnedFile&) = delete;
    ~OwnedFile() { reset(); }
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE release()
    {
        HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return h;
    }
    void reset()
    {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_;
};

bool file_holds(const std::wstring& path, std::uint64_t length, const std::string& sha256)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return false;
    OwnedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) != length)
        return false;
    Sha256Stream stream;
    std::vector<char> buffer(1 << 16);
    DWORD got = 0;
    while (ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got)
        stream.update(buffer.data(), got);
    return hex_of(stream.finish()) == sha256;
}

}  // namespace

struct PartFile::Handles {
    OwnedFile file;
    std::wstring dir;
    std::wstring path;
    bool committed = false;
    Handles() = default;
    Handles(const Handles&) = delete;  // the part file is removed once
    Handles& operator=(const Handles&) = delete;
    ~Handles()
    {
        file.reset();
        if (!committed && !path.empty())
            DeleteFileW(path.c_str());
    }
};

PartFile::PartFile(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}
PartFile::PartFile(PartFile&&) noexcept = default;
PartFile& PartFile::operator=(PartFile&&) noexcept = default;
PartFile::~PartFile() = default;

bool PartFile::write(const void* bytes, std::size_t count)
{
    const char* p = static_cast<const char*>(bytes);
    while (count) {
        DWORD put = 0;
        DWORD want = static_cast<DWORD>(count > (1u << 30) ? (1u << 30) : count);
        if (!WriteFile(handles_->file.get(), p, want, &put, nullptr) || put == 0)
            return false;
        p += put;
        count -= put;
    }
    return true;
}

bool PartFile::rewind()
{
    LARGE_INTEGER zero{};
    return SetFilePointerEx(handles_->file.get(), zero, nullptr, FILE_BEGIN) && SetEndOfFile(handles_->file.get());
}

namespace {

class WinFolder final : public OutputFolder {
public:
    WinFolder(std::wstring root, std::string path) : root_(std::move(root)), path_(std::move(path)) {}

    std::optional<PartFile> create_part(const std::string& name, std::string& error) override
    {
        std::wstring dir;
        if (!walk(segments_of(name), true, dir, error))
            return std::nullopt;
        auto handles = std::make_unique<PartFile::Handles>();
        for (int tries = 0; tries < 8 && !handles->file; ++tries) {
            handles->path = dir + L"\\" + part_leaf();
            handles->file = OwnedFile(CreateFileW(handles->path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        }
        if (!handles->file) {
            error = "cannot make a temporary file: " + system_message(GetLastError());
            handles->path.clear();
            return std::nullopt;
        }
        handles->dir = dir;
        return PartFile(std::move(handles));
    }

    Commit commit(PartFile part, const std::string& name, std::uint64_t length, const std::string& sha256,
                  std::string& final_name, std::string& error) override
    {
        auto& h = part.handles();
        h.file.reset();  // a rename wants the file closed
        for (const std::string& candidate : {name, beside_name(name, sha256)}) {
            std::wstring target = h.dir + L"\\" + segments_of(candidate).back();
            if (file_holds(target, length, sha256)) {
                final_name = candidate;
                return Commit::already_there;
            }
            // Without MOVEFILE_REPLACE_EXISTING the rename never replaces.
            if (MoveFileExW(h.path.c_str(), target.c_str(), 0)) {
                h.committed = true;
                final_name = candidate;
                return Commit::saved;
            }
            DWORD code = GetLastError();
            if (code != ERROR_ALREADY_EXISTS && code != ERROR_FILE_EXISTS) {
                error = "cannot name the file: " + system_message(code);
                return Commit::failed;
            }
        }
        error = "both " + name + " and the name beside it hold other bytes";
        return Commit::failed;
    }

    bool holds(const std::string& name, std::uint64_t length, const std::string& sha256) override
    {
        std::wstring dir;
        std::string error;
        return walk(segments_of(name), false, dir, error) &&
               file_holds(dir + L"\\" + segments_of(name).back(), length, sha256);
    }

    std::optional<std::string> read_small(const std::string& name) override
    {
        std::wstring path = root_ + L"\\" + wide_from_utf8(name);
        if (!file_holds_something(path))
            return std::nullopt;
        OwnedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file)
            return std::nullopt;
        std::string text;
        char buffer[1 << 16];
        DWORD got = 0;
        while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got)
            text.append(buffer, got);
        return text;
    }

    bool write_atomically(const std::string& name, const std::string& content, std::string& error) override
    {
        auto part = create_part(name, error);
        if (!part)
            return false;
        auto& h = part->handles();
        if (!part->write(content.data(), content.size()) || !FlushFileBuffers(h.file.get())) {
            error = system_message(GetLastError());
            return false;
        }
        h.file.reset();
        std::wstring target = h.dir + L"\\" + segments_of(name).back();
        if (!MoveFileExW(h.path.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            error = system_message(GetLastError());
            return false;
        }
        h.committed = true;
        return true;
    }

    std::string path_of(const std::string& name) const override
    {
        std::string path = utf8_from_wide(root_.c_str()) + "\\" + name;
        for (char& c : path)
            if (c == '/')
                c = '\\';
        return path;
    }

private:
    static bool file_holds_something(const std::wstring& path)
    {
        DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    }

    // The folder holding the last segment, each step a real folder (made
    // when `make`), never a link or junction.
    bool walk(const std::vector<std::wstring>& segments, bool make, std::wstring& dir, std::string& error)
    {
        dir = root_;
        for (std::size_t i = 0; i + 1 < segments.size(); ++i) {
            dir += L"\\" + segments[i];
            if (make)
                CreateDirectoryW(dir.c_str(), nullptr);
            if (!real_folder(dir)) {
                error = "'" + utf8_from_wide(segments[i].c_str()) + "' in the output folder is not a folder of its own";
                return false;
            }
        }
        return true;
    }

    std::wstring root_;
    std::string path_;
};

}  // namespace

std::unique_ptr<OutputFolder> OutputFolder::open(const std::string& path, std::string& error)
{
    std::wstring wide = wide_from_utf8(path.empty() ? "." : path);
    wchar_t full[32768];
    DWORD n = GetFullPathNameW(wide.c_str(), 32768, full, nullptr);
    if (n == 0 || n >= 32768) {
        error = "cannot find the output folder " + path;
        return nullptr;
    }
    std::wstring root = full;
    while (root.size() > 3 && (root.back() == L'\\' || root.back() == L'/'))
        root.pop_back();
    // \\?\ lifts the 260-character limit; it wants an absolute path.
    if (root.compare(0, 2, L"\\\\") != 0)
        root = L"\\\\?\\" + root;
    for (std::size_t at = 7; at <= root.size(); ++at)
        if (at == root.size() || root[at] == L'\\')
            CreateDirectoryW(root.substr(0, at).c_str(), nullptr);
    DWORD attributes = GetFileAttributesW(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "cannot open the output folder " + path + ": " + system_message(GetLastError());
        return nullptr;
    }
    return std::make_unique<WinFolder>(root, path);
}
}  // namespace qz::cli
