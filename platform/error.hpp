// Failures that reach the user.
//
// Bad data and numerical failures are reported as exceptions derived from tesvane::Error; the
// dispatcher turns them into messages. Programmer misuse is an assertion, not an Error.
#pragma once

#include <exception>
#include <stdexcept>
#include <string>

namespace tesvane {

class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A data file that cannot be parsed: names the file and, where there is one, the line.
class DataFileError : public Error {
  public:
    DataFileError(const std::string& file, int line, const std::string& what)
        : Error(line > 0 ? file + ", line " + std::to_string(line) + ": " + what
                         : file + ": " + what),
          file_(file),
          line_(line) {}
    const std::string& file() const { return file_; }
    int line() const { return line_; }

  private:
    std::string file_;
    int line_;
};

// A configuration the geometry cannot work with. specimen() is the 1-based row of the block,
// or 0 when the problem lies in a reference form.
class GeometryError : public Error {
  public:
    GeometryError(int specimen, const std::string& what)
        : Error(specimen > 0 ? "specimen " + std::to_string(specimen) + ": " + what : what),
          specimen_(specimen) {}
    int specimen() const { return specimen_; }

  private:
    int specimen_;
};

// The text of a failure in the user's terms: an Error's own text; for what the libraries throw
// (memory, file system, format conversions), a plain sentence instead of the library's text.
std::string user_message(const std::exception& e);

}  // namespace tesvane
