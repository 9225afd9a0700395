// The page transport over WinINet.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "fetch.h"
#include "owned.h"

namespace qz {

inline void close_internet_handle(HINTERNET handle) { InternetCloseHandle(handle); }
using InternetHandle = Owned<HINTERNET, close_internet_handle>;

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
