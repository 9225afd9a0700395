// The one move-only owner of a handle, whatever its kind.
#pragma once

#include <utility>

namespace qz {

// Owns a handle of type H and gives it back with Free, which is called only
// on a non-null handle and exactly once for each; move-only.
template <typename H, auto Free>
class Owned {
public:
    Owned() = default;
    explicit Owned(H handle) : handle_(handle) {}
    Owned(Owned&& other) noexcept : handle_(other.release()) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    H get() const { return handle_; }
    explicit operator bool() const { return handle_ != H{}; }
    // Hands the handle over; the owner is empty afterwards.
    H release() { return std::exchange(handle_, H{}); }
    // Frees what is held (if anything) and takes `handle`.
    void reset(H handle = H{})
    {
        H old = std::exchange(handle_, handle);
        if (old != H{})
            Free(old);
    }

private:
    H handle_{};
};

}  // namespace qz
