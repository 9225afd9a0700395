// Reading a skin file: magic, tagged chunks, palette and face texture.
#include "skin_format.h"

#include <cstring>

namespace skinh {
namespace {

std::uint32_t read_u16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t read_u32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
bool tag_is(const unsigned char* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

}  // namespace

Result parse_skin(const unsigned char* data, std::size_t size, Skin* out)
{
    if (data == nullptr)
        return kNullData;
    if (size == 0)
        return kEmpty;
    static const unsigned char magic[kMagicSize] = {'.', 'S', 'H', 'E', 0x00, 0x03};
    if (size < kMagicSize || std::memcmp(data, magic, kMagicSize) != 0)
        return kBadMagic;

    Skin skin{};
    bool have_name = false, have_palette = false, have_texture = false;
    std::size_t at = kMagicSize;
    while (at < size) {
        if (size - at < kChunkHeaderSize)
            return kTruncated;
        const unsigned char* tag = data + at;
        const std::uint32_t length = read_u32(data + at + 4);
        at += kChunkHeaderSize;
        if (length > size - at)
            return kTruncated;
        const unsigned char* body = data + at;
        at += length;

        if (tag_is(tag, "NAME")) {
            if (have_name || length == 0 || length > kMaxNameBytes)
                return kBadChunk;
            if (std::memchr(body, 0, length) != nullptr)
                return kBadChunk;
            std::memcpy(skin.name, body, length);
            skin.name[length] = '\0';
            have_name = true;
        } else if (tag_is(tag, "PALT")) {
            if (have_palette || length != 4u * kRoleCount)
                return kBadChunk;
            const unsigned char* c = body;
            for (int i = 0; i < kRoleCount; ++i, c += 4) {
                if (c[3] != 0)
                    return kBadChunk;  // reserved byte
                skin.colour[i] = std::uint32_t(c[0]) | (std::uint32_t(c[1]) << 8) | (std::uint32_t(c[2]) << 16);
            }
            have_palette = true;
        } else if (tag_is(tag, "TEXR")) {
            if (have_texture || length < 4)
                return kBadChunk;
            const unsigned w = read_u16(body), h = read_u16(body + 2);
            if (w == 0 || h == 0 || w > kMaxTextureSide || h > kMaxTextureSide)
                return kBadChunk;
            if (length - 4 != std::size_t(w) * h * 3)
                return kBadChunk;
            skin.texture_width = w;
            skin.texture_height = h;
            skin.texture = body + 4;
            have_texture = true;
        }
        // Any other chunk (PADD among them) is skipped: later skins may add some.
    }
    if (!have_name || !have_palette)
        return kMissingChunk;
    *out = skin;
    return kOk;
}

}  // namespace skinh
