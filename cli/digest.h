// SHA-256 from the platform's own library (OpenSSL's libcrypto, or BCrypt).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qz::cli {

using Sha256 = std::array<std::uint8_t, 32>;

// A running digest, fed as the bytes arrive; move-only.
class Sha256Stream {
public:
    Sha256Stream();
    ~Sha256Stream();
    Sha256Stream(Sha256Stream&&) noexcept;
    Sha256Stream& operator=(Sha256Stream&&) noexcept;
    Sha256Stream(const Sha256Stream&) = delete;
    Sha256Stream& operator=(const Sha256Stream&) = delete;

    void update(const void* bytes, std::size_t count);
    Sha256 finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

Sha256 sha256(std::string_view bytes);
std::string hex_of(const Sha256& digest);

}  // namespace qz::cli
