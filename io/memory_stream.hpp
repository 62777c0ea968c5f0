// An input stream over text already in memory, without copying it.
#pragma once

#include <istream>
#include <streambuf>
#include <string_view>

namespace tesvane {

class MemoryStream : private std::streambuf, public std::istream {
  public:
    explicit MemoryStream(std::string_view text) : std::istream(this) {
        char* p = const_cast<char*>(text.data());  // read only: the get area is never written
        setg(p, p, p + text.size());
    }
};

}  // namespace tesvane
