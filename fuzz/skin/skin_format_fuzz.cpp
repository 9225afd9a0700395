// libFuzzer target: the skin parser takes any bytes without reading past them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "skin_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exact-size copy, so ASan sees any read past the end.
    std::vector<unsigned char> bytes(data, data + size);
    skinh::Skin skin{};
    if (skinh::parse_skin(bytes.empty() ? nullptr : bytes.data(), bytes.size(), &skin) == skinh::kOk) {
        if (std::strlen(skin.name) > skinh::kMaxNameBytes)
            __builtin_trap();
        volatile unsigned sum = 0;
        for (std::size_t i = 0; i < std::size_t(skin.texture_width) * skin.texture_height * 3; ++i)
            sum += skin.texture[i];
    }
    return 0;
}
