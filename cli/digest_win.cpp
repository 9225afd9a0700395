// SHA-256 through Windows' BCrypt.
#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include <cstdlib>
#include <vector>

#include "digest.h"

namespace qz::cli {

struct Sha256Stream::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    std::vector<UCHAR> object;
    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State()
    {
        if (hash)
            BCryptDestroyHash(hash);
        if (algorithm)
            BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};

Sha256Stream::Sha256Stream() : state_(std::make_unique<State>())
{
    DWORD size = 0, got = 0;
    // Without SHA-256 nothing can be checked: no silent fallback.
    if (BCryptOpenAlgorithmProvider(&state_->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0 ||
        BCryptGetProperty(state_->algorithm, BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&size), sizeof size, &got,
                          0) != 0)
        std::abort();
    state_->object.resize(size);
    if (BCryptCreateHash(state_->algorithm, &state_->hash, state_->object.data(), size, nullptr, 0, 0) != 0)
        std::abort();
}
Sha256Stream::~Sha256Stream() = default;
Sha256Stream::Sha256Stream(Sha256Stream&&) noexcept = default;
Sha256Stream& Sha256Stream::operator=(Sha256Stream&&) noexcept = default;

void Sha256Stream::update(const void* bytes, std::size_t count)
{
    const auto* p = static_cast<const UCHAR*>(bytes);
    while (count) {
        ULONG part = static_cast<ULONG>(count > 0x40000000 ? 0x40000000 : count);
        BCryptHashData(state_->hash, const_cast<PUCHAR>(p), part, 0);
        p += part;
        count -= part;
    }
}

Sha256 Sha256Stream::finish()
{
    Sha256 digest{};
    BCryptFinishHash(state_->hash, digest.data(), static_cast<ULONG>(digest.size()), 0);
    return digest;
}

}  // namespace qz::cli
