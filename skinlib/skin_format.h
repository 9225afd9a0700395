// Reading a skin file: magic, tagged chunks, palette and face texture.
#pragma once

#include <cstddef>
#include <cstdint>

namespace skinh {

// The result codes of SkinH_AttachRes; the parser gives all but kSystem.
enum Result : int {
    kOk = 0,
    kNullData = 1,      // the skin address is null
    kEmpty = 2,         // the length is 0 or negative
    kBadMagic = 3,      // the file does not begin ".SHE" 00 03
    kTruncated = 4,     // a chunk header or body runs past the end
    kBadChunk = 5,      // a chunk's body does not fit its tag, or comes twice
    kMissingChunk = 6,  // NAME or PALT is absent
    kSystem = 7,        // the skin was good but the window system refused
};

// The palette's roles, in the order the PALT chunk stores them.
// clang-format off: the roles in rows as the file stores them
enum Role : int {
    kFace,
    kFaceText,
    kCaptionTop,
    kCaptionBottom,
    kCaptionText,
    kFrame,
    kButtonFace,
    kButtonText,
    kButtonBorder,
    kEditBack,
    kEditText,
    kListBack,
    kListText,
    kHeaderBack,
    kHeaderText,
    kGroupLine,
    kRoleCount
};
// clang-format on

constexpr std::size_t kMagicSize = 6;
constexpr std::size_t kChunkHeaderSize = 8;  // tag (4 bytes) + body length (u32 LE)
constexpr std::size_t kMaxNameBytes = 64;
constexpr unsigned kMaxTextureSide = 512;

// What a good skin file says. The texture points into the parsed buffer:
// whoever keeps a skin must copy the pixels before the buffer goes.
struct Skin {
    char name[kMaxNameBytes + 1];      // zero-terminated UTF-8
    std::uint32_t colour[kRoleCount];  // 0x00BBGGRR, as Windows' COLORREF
    unsigned texture_width;            // 0 when the skin has no texture
    unsigned texture_height;
    const unsigned char* texture;  // rows top to bottom, pixels B, G, R
};

// Checks every byte of the file before filling *out; on failure *out is
// left as it was. Never reads outside [data, data + size).
Result parse_skin(const unsigned char* data, std::size_t size, Skin* out);

}  // namespace skinh
