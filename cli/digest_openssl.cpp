// SHA-256 through OpenSSL's EVP interface.
#include <openssl/evp.h>

#include <cstdlib>

#include "digest.h"
#include "owned.h"

namespace qz::cli {

struct Sha256Stream::State {
    Owned<EVP_MD_CTX*, EVP_MD_CTX_free> context{EVP_MD_CTX_new()};
};

Sha256Stream::Sha256Stream() : state_(std::make_unique<State>())
{
    // Without a context or SHA-256 nothing can be checked: no silent fallback.
    if (!state_->context || EVP_DigestInit_ex(state_->context.get(), EVP_sha256(), nullptr) != 1)
        std::abort();
}
Sha256Stream::~Sha256Stream() = default;
Sha256Stream::Sha256Stream(Sha256Stream&&) noexcept = default;
Sha256Stream& Sha256Stream::operator=(Sha256Stream&&) noexcept = default;

void Sha256Stream::update(const void* bytes, std::size_t count)
{
    if (count)
        EVP_DigestUpdate(state_->context.get(), bytes, count);
}

Sha256 Sha256Stream::finish()
{
    Sha256 digest{};
    unsigned size = 0;
    EVP_DigestFinal_ex(state_->context.get(), digest.data(), &size);
    return digest;
}

}  // namespace qz::cli
