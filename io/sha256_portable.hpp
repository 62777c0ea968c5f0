// SHA-256 (FIPS 180-4) in plain C++, for builds without nettle: the WebAssembly module, whose
// toolchain has no nettle. Native builds use nettle and test this one against it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tesvane {

class PortableSha256 {
  public:
    PortableSha256();
    void add(const char* data, std::size_t n);
    // The digest as 64 lower-case hexadecimal digits; ends the hash.
    std::string hex();

  private:
    void block(const std::uint8_t* p);

    std::array<std::uint32_t, 8> h_;
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;  // bytes added
};

}  // namespace tesvane
