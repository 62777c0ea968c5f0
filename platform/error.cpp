#include "platform/error.hpp"

#include <filesystem>
#include <new>

namespace tesvane {

std::string user_message(const std::exception& e) {
    if (dynamic_cast<const Error*>(&e))
        return e.what();
    if (dynamic_cast<const std::bad_alloc*>(&e) || dynamic_cast<const std::length_error*>(&e))
        return "there is not enough memory for this request";
    if (const auto* f = dynamic_cast<const std::filesystem::filesystem_error*>(&e)) {
        const std::string path = f->path1().string();
        return (path.empty() ? std::string("a file name is empty") : path) + ": " +
               f->code().message();
    }
    return "an internal failure ended the step";
}

}  // namespace tesvane
