// Where a module is saved: a relative path below the output folder, made
// from its address and safe on Linux and Windows alike.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qz::cli {

// Budgets that fit both systems: a segment of at most 255 bytes (ext4) is at
// most 255 UTF-16 units (NTFS); the whole relative path leaves room for the
// output folder within Linux's PATH_MAX (Windows goes through \\?\ names).
inline constexpr std::size_t kMaxSegmentBytes = 200;
inline constexpr std::size_t kMaxNameBytes = 1024;

// The relative path, segments joined by "/", for the module at `address`
// (GBK bytes as extracted). The rule:
//  - "http://HOST/PATH" and "https://HOST/PATH" give HOST, then PATH's
//    segments cut at "/" (the query and fragment stay in the last one);
//    an address without either scheme gives "%+" then the whole address
//    as the path; an https host is written "%!HOST". The host alone gives
//    HOST/"%=", a query straight after the host HOST/"%_?...".
//  - In each segment, printable ASCII stays except "%", "~" and
//    \ : * ? " < > |, which are written %XX like control bytes, bytes that
//    do not decode and the last character when it is a dot or a space;
//    "." and ".." have their dots written %2E; a Windows device name (CON,
//    NUL, COM1, ..., with any extension) has its first letter written %XX;
//    valid GBK characters become UTF-8. An empty segment is "%_".
//  - A segment with a capital letter (or a letter outside ASCII and CJK)
//    gets "%-" and 12 hex digits of the segment's SHA-256 before its
//    extension, so that names differing only in case differ on any disk.
//  - A segment over kMaxSegmentBytes keeps its start, "%-", a hash and its
//    extension; a whole path over kMaxNameBytes keeps HOST, then "%-" and a
//    hash of the whole path with the last extension.
// "%" is always followed by two hex digits except in the markers above, so
// distinct addresses never share a name.
std::string save_name(std::string_view address);

// Whether a name could have come from save_name's rule: relative, every
// segment non-empty, no "." or "..", nothing either system refuses. The
// writer checks it again before touching the disk.
bool safe_relative_name(std::string_view name);

}  // namespace qz::cli
