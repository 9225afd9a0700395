// The page transport over libcurl, for the Linux edition.
#pragma once

#include <curl/curl.h>

#include <cstddef>
#include <optional>
#include <string>

#include "fetch.h"
#include "owned.h"

namespace qz {

using OwnedCurl = Owned<CURL*, curl_easy_cleanup>;
using OwnedCurlMulti = Owned<CURLM*, curl_multi_cleanup>;
using OwnedCurlList = Owned<curl_slist*, curl_slist_free_all>;

// The same request as the WinINet transport sends. The easy handle (the
// internet handle) is opened once and kept; the body streams straight into
// the caller's read() buffer, so no second copy of a page is held.
class CurlTransport final : public PageTransport {
public:
    CurlTransport();
    ~CurlTransport() override;
    CurlTransport(const CurlTransport&) = delete;
    CurlTransport& operator=(const CurlTransport&) = delete;

    bool split_address(const char* address, AddressParts& parts) override;
    bool session_open() const override { return static_cast<bool>(easy_); }
    bool open_session() override;
    bool connect(const AddressParts& parts) override;
    void set_proxy_options() override;
    bool open_request(const char* object) override;
    bool send_request() override;
    std::optional<std::string> content_length() override;
    bool read(void* buffer, std::size_t size, std::size_t& got) override;
    void close_request() override;
    void close_connection() override;
    void close_session();

private:
    static std::size_t on_header(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t on_body(char* data, std::size_t size, std::size_t count, void* self);
    // Runs the transfer until `enough` holds or it ends; false when the
    // multi interface itself fails.
    template <typename Enough>
    bool run_until(Enough enough);
    void copy_out(const char* data, std::size_t bytes);

    OwnedCurl easy_;
    OwnedCurlMulti multi_;
    AddressParts parts_;
    // The request under way.
    bool attached_ = false;
    bool done_ = false;
    CURLcode result_ = CURLE_OK;
    bool answered_ = false;      // a status line came
    bool body_started_ = false;  // the final answer's body began
    bool paused_ = false;        // the body callback asked libcurl to hold its bytes
    std::optional<std::string> content_length_;
    // The caller's buffer during read(); bytes of a callback beyond its room
    // wait in `spill_` (up to 128 KiB and one callback more) for the next
    // read.
    char* target_ = nullptr;
    std::size_t target_room_ = 0;
    std::size_t target_got_ = 0;
    std::string spill_;
    std::size_t spill_at_ = 0;
};

}  // namespace qz
