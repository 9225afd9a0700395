// Flash movie headers: the fixed preamble, then the stage rectangle, frame
// rate and count, then the first tags for the background colour.
#include "movie_header.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>

#ifdef QZ_HAVE_LZMA
#include <lzma.h>
#endif

namespace qz {
namespace {

// The tags looked at for the background lie in the first bytes of the
// movie; a longer metadata block simply leaves the colour unknown.
constexpr std::size_t kTagWindow = std::size_t(64) << 10;
constexpr int kTagFileAttributes = 69;
constexpr int kTagMetadata = 77;
constexpr int kTagSetBackgroundColor = 9;

std::uint32_t le32(const unsigned char* p)
{
    return p[0] | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

enum class Supply { ok, truncated, damaged };

// The movie's bytes after its 8-byte preamble, as far as they are asked for.
class Body {
public:
    virtual ~Body() = default;
    // At least `n` bytes in data(), or why not.
    virtual Supply ensure(std::size_t n) = 0;
    virtual const unsigned char* data() const = 0;
    virtual std::string detail() const { return {}; }
};

class PlainBody final : public Body {
public:
    explicit PlainBody(std::string_view bytes) : bytes_(bytes) {}
    Supply ensure(std::size_t n) override { return n <= bytes_.size() ? Supply::ok : Supply::truncated; }
    const unsigned char* data() const override { return reinterpret_cast<const unsigned char*>(bytes_.data()); }

private:
    std::string_view bytes_;
};

// Output grows to what is asked, in steps, never beyond the tag window.
std::size_t decode_target(std::size_t n, std::size_t have)
{
    return std::min(std::max({n, have * 2, std::size_t(256)}), kTagWindow + 64);
}

class ZlibBody final : public Body {
public:
    explicit ZlibBody(std::string_view compressed)
    {
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
        stream_.avail_in = static_cast<uInt>(std::min<std::size_t>(compressed.size(), 0xFFFFFFFFu));
        ready_ = inflateInit(&stream_) == Z_OK;
    }
    ~ZlibBody() override
    {
        if (ready_)
            inflateEnd(&stream_);
    }
    ZlibBody(const ZlibBody&) = delete;
    ZlibBody& operator=(const ZlibBody&) = delete;

    Supply ensure(std::size_t n) override
    {
        if (!ready_)
            return Supply::damaged;
        while (out_.size() < n) {
            if (ended_)
                return Supply::truncated;
            std::size_t target = decode_target(n, out_.size());
            if (target <= out_.size())
                return Supply::truncated;
            std::size_t before = out_.size();
            out_.resize(target);
            stream_.next_out = reinterpret_cast<Bytef*>(out_.data() + before);
            stream_.avail_out = static_cast<uInt>(target - before);
            int rc = inflate(&stream_, Z_NO_FLUSH);
            out_.resize(target - stream_.avail_out);
            if (rc == Z_STREAM_END) {
                ended_ = true;
            } else if (rc == Z_BUF_ERROR || (rc == Z_OK && out_.size() == before)) {
                return Supply::truncated;  // the input ran out
            } else if (rc != Z_OK) {
                error_ = stream_.msg ? stream_.msg : "inflate failed";
                return Supply::damaged;
            }
        }
        return Supply::ok;
    }
    const unsigned char* data() const override { return reinterpret_cast<const unsigned char*>(out_.data()); }
    std::string detail() const override { return error_; }

private:
    z_stream stream_{};
    bool ready_ = false;
    bool ended_ = false;
    std::string out_;
    std::string error_;
};

#ifdef QZ_HAVE_LZMA
class LzmaBody final : public Body {
public:
    // `props` are the 5 LZMA property bytes, `compressed` what follows them.
    LzmaBody(std::string_view props, std::string_view compressed)
    {
        // The .lzma header liblzma reads: the properties, then an unknown
        // uncompressed size. The dictionary is capped at what this reader
        // ever decodes, so a movie cannot make it allocate gigabytes.
        std::memcpy(header_, props.data(), 5);
        std::uint32_t dict = le32(header_ + 1);
        std::uint32_t cap = std::uint32_t(1) << 20;
        if (dict > cap) {
            for (int i = 0; i < 4; ++i)
                header_[1 + i] = static_cast<unsigned char>(cap >> (8 * i));
        }
        std::memset(header_ + 5, 0xFF, 8);
        compressed_ = compressed;
        ready_ = lzma_alone_decoder(&stream_, std::uint64_t(64) << 20) == LZMA_OK;
        stream_.next_in = header_;
        stream_.avail_in = sizeof header_;
    }
    ~LzmaBody() override { lzma_end(&stream_); }
    LzmaBody(const LzmaBody&) = delete;
    LzmaBody& operator=(const LzmaBody&) = delete;

    Supply ensure(std::size_t n) override
    {
        if (!ready_)
            return Supply::damaged;
        while (out_.size() < n) {
            if (ended_)
                return Supply::truncated;
            if (stream_.avail_in == 0 && !fed_data_) {
                stream_.next_in = reinterpret_cast<const std::uint8_t*>(compressed_.data());
                stream_.avail_in = compressed_.size();
                fed_data_ = true;
            }
            std::size_t target = decode_target(n, out_.size());
            if (target <= out_.size())
                return Supply::truncated;
            std::size_t before = out_.size();
            out_.resize(target);
            stream_.next_out = reinterpret_cast<std::uint8_t*>(out_.data() + before);
            stream_.avail_out = target - before;
            lzma_ret rc = lzma_code(&stream_, LZMA_RUN);
            out_.resize(target - stream_.avail_out);
            if (rc == LZMA_STREAM_END) {
                ended_ = true;
            } else if (rc == LZMA_OK) {
                if (out_.size() == before && stream_.avail_in == 0 && fed_data_)
                    return Supply::truncated;
            } else if (rc == LZMA_BUF_ERROR) {
                return Supply::truncated;
            } else {
                error_ = "LZMA data damaged (code " + std::to_string(static_cast<int>(rc)) + ")";
                return Supply::damaged;
            }
        }
        return Supply::ok;
    }
    const unsigned char* data() const override { return reinterpret_cast<const unsigned char*>(out_.data()); }
    std::string detail() const override { return error_; }

private:
    lzma_stream stream_ = LZMA_STREAM_INIT;
    unsigned char header_[13]{};
    std::string_view compressed_;
    bool fed_data_ = false;
    bool ready_ = false;
    bool ended_ = false;
    std::string out_;
    std::string error_;
};
#endif

MovieReading failed(std::string why) { return {std::nullopt, std::move(why)}; }

std::string why_not(Supply supply, const Body& body, const char* needed)
{
    if (supply == Supply::damaged)
        return "damaged compressed data before the end of " + std::string(needed) +
               (body.detail().empty() ? "" : ": " + body.detail());
    return "truncated: the file ends inside " + std::string(needed);
}

// The signed field of `bits` bits at bit `at` of `p`, big-endian bit order.
std::int32_t signed_bits(const unsigned char* p, std::size_t at, unsigned bits)
{
    std::uint32_t value = 0;
    for (unsigned i = 0; i < bits; ++i, ++at)
        value = value << 1 | ((p[at / 8] >> (7 - at % 8)) & 1u);
    if (bits > 0 && bits < 32 && (value >> (bits - 1)) & 1u)
        value |= ~std::uint32_t(0) << bits;
    return static_cast<std::int32_t>(value);
}

}  // namespace

bool movie_lzma_available()
{
#ifdef QZ_HAVE_LZMA
    return true;
#else
    return false;
#endif
}

MovieReading read_movie_header(std::string_view prefix, std::uint64_t file_length)
{
    static const char* const kSignatures[] = {"FWS", "CWS", "ZWS"};
    const char* signature = nullptr;
    for (const char* s : kSignatures)
        if (!prefix.empty() && std::memcmp(prefix.data(), s, std::min<std::size_t>(prefix.size(), 3)) == 0)
            signature = s;
    if (!signature)
        return failed("not a Flash movie: it does not begin with FWS, CWS or ZWS");
    if (prefix.size() < 8)
        return failed("truncated: " + std::to_string(prefix.size()) + " bytes, where the header alone needs 8");

    const auto* bytes = reinterpret_cast<const unsigned char*>(prefix.data());
    MovieHeader header;
    header.signature = signature;
    header.version = bytes[3];
    header.declared_length = le32(bytes + 4);
    header.file_length = file_length;

    std::unique_ptr<Body> body;
    if (header.signature == "FWS") {
        body = std::make_unique<PlainBody>(prefix.substr(8));
    } else if (header.signature == "CWS") {
        body = std::make_unique<ZlibBody>(prefix.substr(8));
    } else {
        if (prefix.size() < 17)
            return failed("truncated: " + std::to_string(prefix.size()) + " bytes, where a ZWS header needs 17");
#ifdef QZ_HAVE_LZMA
        std::uint32_t compressed = le32(bytes + 8);
        if (file_length < 17 + std::uint64_t(compressed))
            return failed("truncated: the LZMA data should be " + std::to_string(compressed) + " bytes, the file has " +
                          std::to_string(file_length - 17));
        body = std::make_unique<LzmaBody>(prefix.substr(12, 5), prefix.substr(17));
#else
        return failed("ZWS (LZMA) movie: this build cannot inflate LZMA, so its header is not read");
#endif
    }

    Supply supply = body->ensure(1);
    if (supply != Supply::ok)
        return failed(why_not(supply, *body, "the stage size"));
    unsigned bits = body->data()[0] >> 3;
    std::size_t rect_bytes = (5 + 4 * bits + 7) / 8;
    if ((supply = body->ensure(rect_bytes + 4)) != Supply::ok)
        return failed(why_not(supply, *body, "the stage size, frame rate and count"));
    const unsigned char* p = body->data();
    header.x_min = signed_bits(p, 5, bits);
    header.x_max = signed_bits(p, 5 + bits, bits);
    header.y_min = signed_bits(p, 5 + 2 * bits, bits);
    header.y_max = signed_bits(p, 5 + 3 * bits, bits);
    header.frame_rate = le16(p + rect_bytes) / 256.0;
    header.frame_count = le16(p + rect_bytes + 2);

    std::size_t header_end = 8 + rect_bytes + 4;
    if (header.declared_length < header_end)
        return failed("not a Flash movie: it declares " + std::to_string(header.declared_length) +
                      " bytes, fewer than its own header (" + std::to_string(header_end) + ")");
    if (header.signature == "FWS" && file_length < header.declared_length)
        return failed("truncated: the movie declares " + std::to_string(header.declared_length) +
                      " bytes, the file has " + std::to_string(file_length));

    // The background colour counts when it is the first tag that describes
    // the movie; the file attributes and metadata may come before it.
    std::size_t at = rect_bytes + 4;
    const bool whole = prefix.size() == file_length || header.signature != "FWS";
    for (int tags = 0; tags < 16 && at + 2 <= kTagWindow; ++tags) {
        supply = body->ensure(at + 2);
        if (supply != Supply::ok)
            break;
        std::uint16_t code_length = le16(body->data() + at);
        int code = code_length >> 6;
        std::size_t length = code_length & 0x3F;
        std::size_t head = 2;
        if (length == 0x3F) {
            if ((supply = body->ensure(at + 6)) != Supply::ok)
                break;
            length = le32(body->data() + at + 2);
            head = 6;
        }
        if (code == kTagFileAttributes || code == kTagMetadata) {
            at += head + length;
            continue;
        }
        if (code == kTagSetBackgroundColor && length >= 3 && (supply = body->ensure(at + head + 3)) == Supply::ok) {
            const unsigned char* rgb = body->data() + at + head;
            header.background = std::uint32_t(rgb[0]) << 16 | std::uint32_t(rgb[1]) << 8 | rgb[2];
        }
        break;
    }
    if (supply == Supply::truncated && whole && header.signature != "FWS")
        return failed("truncated: the compressed data ends inside the first tags");
    if (supply == Supply::damaged)
        return failed(why_not(supply, *body, "the first tags"));
    return {std::move(header), {}};
}

}  // namespace qz
