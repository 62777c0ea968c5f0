// SHA-256 digests, so that a report can name exactly which bytes it was computed from.
#pragma once

#include <cstdint>
#include <string>

namespace tesvane {

// The SHA-256 digest of `bytes` as 64 lower-case hexadecimal digits.
std::string sha256_hex(const std::string& bytes);

// A file's size in bytes and the SHA-256 digest of its content.
struct FileDigest {
    std::uintmax_t size = 0;
    std::string sha256;
};

// Reads the file in pieces; an Error naming the file when it cannot be read.
FileDigest file_digest(const std::string& path);

}  // namespace tesvane
