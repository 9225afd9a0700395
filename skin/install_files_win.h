// The file system for installing the skin library, through the ANSI calls.
#pragma once

#include "skin_install.h"

namespace qz {

class Win32InstallFiles final : public InstallFiles {
public:
    bool exists(const char* path) override;
    bool write_whole(const char* path, std::string_view bytes) override;
    bool move_new(const char* from, const char* to) override;
    void remove(const char* path) override;
    void set_hidden_only(const char* path) override;
};

}  // namespace qz
