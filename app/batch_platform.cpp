#include "app/batch_platform.hpp"

#include <cmath>
#include <ostream>

namespace tesvane {

bool is_error_line(const std::string& line) {
    return line.rfind("Error", 0) == 0;
}

BatchPlatform::BatchPlatform(std::ostream& err, BatchOutput output)
    : HeadlessPlatform(nullptr), err_(err), output_(output) {}

BatchPlatform::~BatchPlatform() {
    flush();
}

void BatchPlatform::console(const std::string& line) {
    HeadlessPlatform::console(line);
    const bool error = is_error_line(line);
    if ((error && output_.echo_errors) || (!error && output_.verbose)) {
        pending_ << line << '\n';
        if (error || pending_.tellp() > 16384)
            flush();
    }
}

void BatchPlatform::show_message(const std::string& text) {
    HeadlessPlatform::show_message(text);
    if (output_.quiet)
        return;
    pending_ << "[message] " << text << '\n';
    flush();
}

void BatchPlatform::message(const std::string& text) {
    HeadlessPlatform::message(text);
    if (output_.quiet)
        return;
    pending_ << text << '\n';
    flush();
}

bool BatchPlatform::progress(double fraction, const std::string& what) {
    if (!output_.show_progress || output_.quiet)
        return true;
    if (fraction >= 1) {
        flush();
        clear_line();
        err_.flush();
        return true;
    }
    const auto now = std::chrono::steady_clock::now();
    const int percent = static_cast<int>(std::floor(100 * fraction));
    if (shown_ && percent == percent_ && now - last_ < std::chrono::milliseconds(200))
        return true;
    flush();
    err_ << '\r' << what << ": " << percent << "%\033[K" << std::flush;
    shown_ = true;
    percent_ = percent;
    last_ = now;
    return true;
}

void BatchPlatform::flush() {
    if (pending_.tellp() > 0) {
        clear_line();
        err_ << pending_.str();
        pending_.str("");
    }
    err_.flush();
}

void BatchPlatform::clear_line() {
    if (shown_)
        err_ << "\r\033[K";
    shown_ = false;
}

}  // namespace tesvane
