// A whole program on the headless platform, in a temporary folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/Tesvane6i.hpp"
#include "app/script_runner.hpp"
#include "platform/app_context.hpp"
#include "platform/headless/headless_platform.hpp"
#include "test_paths.hpp"

namespace tesvane::test {

class AppTest : public ::testing::Test {
  protected:
    AppTest() : ctx(ui) {
        dir = std::filesystem::temp_directory_path() /
              ("tesvane_app_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        add_window_controls(ui);
        register_functions(ctx);
    }
    ~AppTest() override {
        std::filesystem::current_path(start_dir_);
        std::error_code ec;
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(dir, ec);
    }

    void start() { Tesvane6i_start(ctx); }

    // Runs an action with a file queued for its dialog.
    bool load(const std::string& action, const std::filesystem::path& file) {
        ui.queue(DialogAnswer::file(file.string()));
        return run_action(ctx, action);
    }

    std::filesystem::path write(const std::string& name, const std::string& content) {
        const std::filesystem::path p = dir / name;
        std::ofstream(p, std::ios::binary) << content;
        return p;
    }

    static std::string read(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string control(const std::string& tag) { return ui.control(tag).string(); }
    std::string last_message() const {
        return ui.messages().empty() ? std::string() : ui.messages().back();
    }
    std::string last_console() const {
        return ui.console_lines().empty() ? std::string() : ui.console_lines().back();
    }

    HeadlessPlatform ui;
    AppContext ctx;
    std::filesystem::path dir;

  private:
    static inline int counter_ = 0;
    std::filesystem::path start_dir_ = std::filesystem::current_path();
};

// A file of the published datasets, or an empty path (the caller skips).
inline std::filesystem::path data_file(const std::string& set, const std::string& file) {
    const std::filesystem::path d = dataset(set);
    return d.empty() ? d : d / file;
}

#define SKIP_WITHOUT(path) \
    if ((path).empty())    \
    GTEST_SKIP() << "the published datasets are not here"

}  // namespace tesvane::test
