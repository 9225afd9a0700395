// The commands of qzflash-cli, one file each; each returns the exit code.
#pragma once

#include <string>

namespace qz::cli {

// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // some item failed; each is named on stderr
inline constexpr int kExitUsage = 2;

// Prints "qzflash-cli: PROBLEM; usage..." on stderr and returns kExitUsage.
int usage(const std::string& problem);

// Each gets the arguments after its own name.
int rows_command(int argc, char** argv);
int query_command(int argc, char** argv);
int search_command(int argc, char** argv);
int info_command(int argc, char** argv);
int save_command(int argc, char** argv);

}  // namespace qz::cli
