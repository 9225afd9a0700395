// The page transport over WinINet.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "fetch.h"

namespace qz {

// Owns one HINTERNET; move-only.
class InternetHandle {
public:
    InternetHandle() = default;
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    InternetHandle(InternetHandle&& other) noexcept : handle_(other.release()) {}
    InternetHandle& operator=(InternetHandle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle() { reset(); }

    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    HINTERNET release()
    {
        HINTERNET h = handle_;
        handle_ = nullptr;
        return h;
    }
    void reset(HINTERNET handle = nullptr)
    {
        if (handle_)
            InternetCloseHandle(handle_);
        handle_ = handle;
    }

private:
    HINTERNET handle_ = nullptr;
};

inline constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// The internet handle it opens stays open until the transport is destroyed,
// which the program does at its very end.
class WinInetTransport final : public PageTransport {
public:
    bool split_address(const char* address, AddressParts& parts) override;
    bool session_open() const override { return static_cast<bool>(session_); }
    bool open_session() override;
    bool connect(const AddressParts& parts) override;
    void set_proxy_options() override;
    bool open_request(const char* object) override;
    bool send_request() override;
    std::optional<std::string> content_length() override;
    bool read(void* buffer, std::size_t size, std::size_t& got) override;
    void close_request() override { request_.reset(); }
    void close_connection() override { connection_.reset(); }
    void close_session() { session_.reset(); }

private:
    InternetHandle session_;
    InternetHandle connection_;
    InternetHandle request_;
};

}  // namespace qz
