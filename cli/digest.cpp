// The digest helpers over whichever library computes SHA-256.
#include "digest.h"

namespace qz::cli {

Sha256 sha256(std::string_view bytes)
{
    Sha256Stream stream;
    stream.update(bytes.data(), bytes.size());
    return stream.finish();
}

std::string hex_of(const Sha256& digest)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (auto byte : digest) {
        out += kDigits[byte >> 4];
        out += kDigits[byte & 15];
    }
    return out;
}

}  // namespace qz::cli
