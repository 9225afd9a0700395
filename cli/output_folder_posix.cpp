// The output folder on POSIX systems: every step from the folder's own
// descriptor, O_NOFOLLOW everywhere, and rename without replacing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "digest.h"
#include "output_folder.h"

namespace qz::cli {
namespace {

// One owned descriptor; -1 is none.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& o) noexcept : fd_(std::exchange(o.fd_, -1)) {}
    Fd& operator=(Fd&& o) noexcept
    {
        if (this != &o) {
            reset();
            fd_ = std::exchange(o.fd_, -1);
        }
        return *this;
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { reset(); }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

std::vector<std::string> segments_of(const std::string& name)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        std::size_t slash = name.find('/', start);
        out.push_back(name.substr(start, slash == std::string::npos ? slash : slash - start));
        if (slash == std::string::npos)
            return out;
        start = slash + 1;
    }
}

std::string part_leaf()
{
    static std::mt19937_64 random{std::random_device{}()};
    char leaf[64];
    // "~" never appears in a final name, so a part can never be taken for one.
    std::snprintf(leaf, sizeof leaf, "~qzflash-%016llx.part", static_cast<unsigned long long>(random()));
    return leaf;
}

bool digest_of(int fd, std::uint64_t& length, std::string& sha256)
{
    Sha256Stream stream;
    static thread_local std::vector<char> buffer(1 << 16);
    length = 0;
    while (true) {
        ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        stream.update(buffer.data(), static_cast<std::size_t>(got));
        length += static_cast<std::uint64_t>(got);
    }
    sha256 = hex_of(stream.finish());
    return true;
}

}  // namespace

struct PartFile::Handles {
    Fd dir;
    Fd file;
    std::string leaf;
    bool committed = false;
    Handles() = default;
    Handles(const Handles&) = delete;  // the part file is removed once
    Handles& operator=(const Handles&) = delete;
    ~Handles()
    {
        if (!committed && dir && !leaf.empty())
            ::unlinkat(dir.get(), leaf.c_str(), 0);
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
        ssize_t put = ::write(handles_->file.get(), p, count);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        p += put;
        count -= static_cast<std::size_t>(put);
    }
    return true;
}

bool PartFile::rewind()
{
    return ::ftruncate(handles_->file.get(), 0) == 0 && ::lseek(handles_->file.get(), 0, SEEK_SET) == 0;
}

namespace {

class PosixFolder final : public OutputFolder {
public:
    PosixFolder(Fd root, std::string path) : root_(std::move(root)), path_(std::move(path)) {}

    std::optional<PartFile> create_part(const std::string& name, std::string& error) override
    {
        auto segments = segments_of(name);
        Fd dir = walk(segments, true, error);
        if (!dir)
            return std::nullopt;
        auto handles = std::make_unique<PartFile::Handles>();
        for (int tries = 0; tries < 8 && !handles->file; ++tries) {
            handles->leaf = part_leaf();
            handles->file = Fd(
                ::openat(dir.get(), handles->leaf.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        }
        if (!handles->file) {
            error = std::string("cannot make a temporary file: ") + std::strerror(errno);
            handles->leaf.clear();
            return std::nullopt;
        }
        handles->dir = std::move(dir);
        return PartFile(std::move(handles));
    }

    Commit commit(PartFile part, const std::string& name, std::uint64_t length, const std::string& sha256,
                  std::string& final_name, std::string& error) override
    {
        auto& h = part.handles();
        // Every byte went through write() before this point, so a killed
        // process loses none of them; no fsync per module, which would stall
        // every transfer behind the disk (the manifest is synced).
        for (const std::string& candidate : {name, beside_name(name, sha256)}) {
            std::string leaf = segments_of(candidate).back();
            if (leaf_holds(h.dir.get(), leaf, length, sha256)) {
                final_name = candidate;
                return Commit::already_there;
            }
            bool renamed = ::renameat2(h.dir.get(), h.leaf.c_str(), h.dir.get(), leaf.c_str(), RENAME_NOREPLACE) == 0;
            // Where the disk cannot rename without replacing, a hard link
            // refuses to replace just the same.
            bool linked =
                !renamed && errno == EINVAL && ::linkat(h.dir.get(), h.leaf.c_str(), h.dir.get(), leaf.c_str(), 0) == 0;
            if (renamed || linked) {
                if (linked)
                    ::unlinkat(h.dir.get(), h.leaf.c_str(), 0);
                h.committed = true;
                final_name = candidate;
                return Commit::saved;
            }
            if (errno != EEXIST) {
                error = std::string("cannot name the file: ") + std::strerror(errno);
                return Commit::failed;
            }
        }
        error = "both " + name + " and the name beside it hold other bytes";
        return Commit::failed;
    }

    bool holds(const std::string& name, std::uint64_t length, const std::string& sha256) override
    {
        auto segments = segments_of(name);
        std::string error;
        Fd dir = walk(segments, false, error);
        return dir && leaf_holds(dir.get(), segments.back(), length, sha256);
    }

    std::optional<std::string> read_small(const std::string& name) override
    {
        Fd fd(::openat(root_.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (!fd)
            return std::nullopt;
        std::string text;
        char buffer[1 << 16];
        ssize_t got;
        while ((got = ::read(fd.get(), buffer, sizeof buffer)) > 0)
            text.append(buffer, static_cast<std::size_t>(got));
        return text;
    }

    bool write_atomically(const std::string& name, const std::string& content, std::string& error) override
    {
        auto part = create_part(name, error);
        if (!part)
            return false;
        auto& h = part->handles();
        if (!part->write(content.data(), content.size()) || ::fsync(h.file.get()) != 0 ||
            ::renameat(h.dir.get(), h.leaf.c_str(), h.dir.get(), segments_of(name).back().c_str()) != 0) {
            error = std::strerror(errno);
            return false;
        }
        h.committed = true;
        ::fsync(h.dir.get());
        return true;
    }

    std::string path_of(const std::string& name) const override { return path_ + "/" + name; }

private:
    // The folder holding the last segment, each step a real folder (made
    // when `make`), never a link.
    Fd walk(const std::vector<std::string>& segments, bool make, std::string& error)
    {
        Fd dir(::dup(root_.get()));
        for (std::size_t i = 0; i + 1 < segments.size(); ++i) {
            const char* s = segments[i].c_str();
            if (make && ::mkdirat(dir.get(), s, 0755) != 0 && errno != EEXIST) {
                error = "cannot make the folder " + segments[i] + ": " + std::strerror(errno);
                return Fd();
            }
            Fd next(::openat(dir.get(), s, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!next) {
                error = "'" + segments[i] + "' in the output folder is not a folder of its own (" +
                        std::strerror(errno) + ")";
                return Fd();
            }
            dir = std::move(next);
        }
        return dir;
    }

    static bool leaf_holds(int dir, const std::string& leaf, std::uint64_t length, const std::string& sha256)
    {
        Fd fd(::openat(dir, leaf.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        struct stat st {};
        if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
            static_cast<std::uint64_t>(st.st_size) != length)
            return false;
        std::uint64_t got = 0;
        std::string digest;
        return digest_of(fd.get(), got, digest) && got == length && digest == sha256;
    }

    Fd root_;
    std::string path_;
};

}  // namespace

std::unique_ptr<OutputFolder> OutputFolder::open(const std::string& path, std::string& error)
{
    // Make the folder and its parents; the user names it, links allowed.
    for (std::size_t at = 1; at <= path.size(); ++at)
        if (at == path.size() || path[at] == '/')
            ::mkdir(path.substr(0, at).c_str(), 0755);
    Fd root(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!root) {
        error = "cannot open the output folder " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<PosixFolder>(std::move(root), path);
}
}  // namespace qz::cli
