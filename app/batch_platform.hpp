// The platform of `tesvane run` and `tesvane script`: the headless platform with what it says
// sorted for standard error. Errors always go there; messages for the user unless quiet;
// diagnostic lines only when verbose; progress as one line that updates in place.
#pragma once

#include <chrono>
#include <iosfwd>
#include <sstream>
#include <string>

#include "platform/headless/headless_platform.hpp"

namespace tesvane {

struct BatchOutput {
    bool quiet = false;          // nothing but errors
    bool verbose = false;        // diagnostic lines as well
    bool show_progress = false;  // a progress line (meant for a terminal)
    bool echo_errors = true;     // error lines as they happen (else the caller reports them)
};

// Whether a console line reports an error rather than a diagnostic.
bool is_error_line(const std::string& line);

class BatchPlatform : public HeadlessPlatform {
  public:
    BatchPlatform(std::ostream& err, BatchOutput output);
    ~BatchPlatform() override;

    void console(const std::string& line) override;
    void show_message(const std::string& text) override;
    void message(const std::string& text) override;
    bool progress(double fraction, const std::string& what) override;

    // Writes out what is waiting; the progress line is cleared first.
    void flush();

  private:
    void clear_line();

    std::ostream& err_;
    BatchOutput output_;
    // Standard error is unbuffered and a bootstrap may echo thousands of lines.
    std::ostringstream pending_;
    bool shown_ = false;
    int percent_ = -1;
    std::chrono::steady_clock::time_point last_;
};

}  // namespace tesvane
