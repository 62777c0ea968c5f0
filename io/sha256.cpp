#include "io/sha256.hpp"

#if !defined(TESVANE_NO_NETTLE)
#include <nettle/sha2.h>
#endif

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "io/sha256_portable.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

#if defined(TESVANE_NO_NETTLE)
// The WebAssembly build has no nettle.
using Sha256 = PortableSha256;
#else
class Sha256 {
  public:
    Sha256() { sha256_init(&ctx_); }
    void add(const char* data, std::size_t n) {
        sha256_update(&ctx_, n, reinterpret_cast<const std::uint8_t*>(data));
    }
    std::string hex() {
        std::array<std::uint8_t, SHA256_DIGEST_SIZE> digest{};
        sha256_digest(&ctx_, digest.size(), digest.data());
        static const char* const digits = "0123456789abcdef";
        std::string s;
        for (std::uint8_t b : digest) {
            s += digits[b >> 4];
            s += digits[b & 15];
        }
        return s;
    }

  private:
    sha256_ctx ctx_;
};
#endif

}  // namespace

std::string sha256_hex(const std::string& bytes) {
    Sha256 h;
    h.add(bytes.data(), bytes.size());
    return h.hex();
}

FileDigest file_digest(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Error("Cannot read the file " + path + ": " + std::strerror(errno));
    Sha256 h;
    FileDigest d;
    std::array<char, 65536> buffer{};
    while (in) {
        in.read(buffer.data(), buffer.size());
        const std::streamsize got = in.gcount();
        h.add(buffer.data(), static_cast<std::size_t>(got));
        d.size += static_cast<std::uintmax_t>(got);
    }
    if (in.bad())
        throw Error("Cannot read the file " + path);
    d.sha256 = h.hex();
    return d;
}

}  // namespace tesvane
