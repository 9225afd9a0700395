// The output folder of a save run: files are made below it only, through
// no link that was there before, and appear under their final names whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace qz::cli {

// A temporary file beside where a module will live; removed unless it was
// committed. Move-only.
class PartFile {
public:
    struct Handles;
    explicit PartFile(std::unique_ptr<Handles> handles);
    PartFile(PartFile&&) noexcept;
    PartFile& operator=(PartFile&&) noexcept;
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;
    ~PartFile();

    // Writes every byte or fails (a full disk among others).
    bool write(const void* bytes, std::size_t count);
    // Empties the file for another attempt.
    bool rewind();
    // The platform's handles, for the folder that made the part.
    Handles& handles() { return *handles_; }

private:
    std::unique_ptr<Handles> handles_;
};

class OutputFolder {
public:
    enum class Commit { saved, already_there, failed };

    // Opens (and makes, with its parents) the folder at `path`.
    static std::unique_ptr<OutputFolder> open(const std::string& path, std::string& error);
    virtual ~OutputFolder() = default;

    // A part file in the folder of `name` (made as needed); nullopt with
    // `error` when a segment is not a folder of ours (a file or a link).
    virtual std::optional<PartFile> create_part(const std::string& name, std::string& error) = 0;
    // Gives the part (all its bytes written) its final name: `name`, or, when
    // a different file holds that name, `name` with its digest before the
    // extension. A file with the same bytes already there is kept and the
    // part dropped. `final_name` tells where the bytes are.
    virtual Commit commit(PartFile part, const std::string& name, std::uint64_t length, const std::string& sha256,
                          std::string& final_name, std::string& error) = 0;
    // Whether `name` is a regular file (no link) of this length and digest.
    virtual bool holds(const std::string& name, std::uint64_t length, const std::string& sha256) = 0;
    // The whole of a small file, or nullopt when there is none.
    virtual std::optional<std::string> read_small(const std::string& name) = 0;
    // Writes `name` through a part file and a rename.
    virtual bool write_atomically(const std::string& name, const std::string& content, std::string& error) = 0;
    // A path the header reader can open.
    virtual std::string path_of(const std::string& name) const = 0;
};

// The name beside `name` for other bytes: the digest's first 12 hex digits
// before the extension of the last segment.
std::string beside_name(const std::string& name, const std::string& sha256);

}  // namespace qz::cli
