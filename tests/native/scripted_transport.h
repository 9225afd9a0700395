// A page transport that plays a script and records the calls made on it.
#pragma once

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fetch.h"

class ScriptedTransport : public qz::PageTransport {
public:
    // The script.
    bool split_ok = true;
    bool open_ok = true;
    bool connect_ok = true;
    bool request_ok = true;
    bool send_ok = true;
    std::optional<std::string> length;
    std::string body;
    std::size_t fail_read_after = std::string::npos;  // bytes delivered before a read fails

    // What happened.
    std::vector<std::string> calls;
    std::vector<std::string>* log = nullptr;  // not owned; shared with the other fakes
    std::string object_sent;
    std::vector<std::size_t> read_sizes;
    bool session = false;
    int opened_connections = 0;
    int opened_requests = 0;

    bool split_address(const char* address, qz::AddressParts& parts) override
    {
        note(std::string("split ") + address);
        if (!split_ok)
            return false;
        std::string a = address;
        std::size_t slash = a.find('/', 7);
        parts.host = a.substr(7, slash - 7);
        parts.port = 80;
        parts.object = a.substr(slash);
        return true;
    }
    bool session_open() const override { return session; }
    bool open_session() override
    {
        note("open_session");
        session = open_ok;
        return open_ok;
    }
    bool connect(const qz::AddressParts& parts) override
    {
        note("connect " + parts.host);
        opened_connections += connect_ok;
        return connect_ok;
    }
    void set_proxy_options() override { note("proxy"); }
    bool open_request(const char* object) override
    {
        note("open_request");
        object_sent = object;
        opened_requests += request_ok;
        return request_ok;
    }
    bool send_request() override
    {
        note("send");
        return send_ok;
    }
    std::optional<std::string> content_length() override
    {
        note("content_length");
        return length;
    }
    bool read(void* buffer, std::size_t size, std::size_t& got) override
    {
        read_sizes.push_back(size);
        std::size_t limit = std::min(body.size(), fail_read_after);
        if (position_ >= limit && limit < body.size()) {
            note("read failed");
            return false;
        }
        got = std::min(size, limit - position_);
        std::memcpy(buffer, body.data() + position_, got);
        position_ += got;
        return true;
    }
    void close_request() override
    {
        note("close_request");
        --opened_requests;
    }
    void close_connection() override
    {
        note("close_connection");
        --opened_connections;
    }

private:
    void note(const std::string& what)
    {
        calls.push_back(what);
        if (log)
            log->push_back(what);
    }
    std::size_t position_ = 0;
};
