// A whole program on the headless platform, in a temporary folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/Tesvane6i.hpp"
#include "app/script_runner.hpp"
#include "platform/app_context.hpp"
#include "platform/cformat.hpp"
#include "platform/headless/headless_platform.hpp"
#include "test_paths.hpp"
#include "test_util.hpp"

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

    // The four blocks of groups `g1` and `g2` from folder `d`: "<g>_b1.txt" and "<g><b2>".
    void load_groups(const std::filesystem::path& d, const std::string& g1, const std::string& g2,
                     const std::string& b2 = "_b2.txt") {
        for (const auto& [action, file] : {std::pair{"LoadG1B1", g1 + "_b1.txt"},
                                           {"LoadG1B2", g1 + b2},
                                           {"LoadG2B1", g2 + "_b1.txt"},
                                           {"LoadG2B2", g2 + b2}})
            ASSERT_TRUE(load(action, d / file)) << file;
    }

    std::filesystem::path write(const std::string& name, const std::string& content) {
        const std::filesystem::path p = dir / name;
        std::ofstream(p, std::ios::binary) << content;
        return p;
    }

    static std::string read(const std::filesystem::path& p) { return read_file(p); }

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

// n specimens of a k-landmark regular polygon with small, fixed perturbations (a linear
// congruential sequence from `seed`), times `scale`, then the centroid size.
inline std::string polygon_block(int n, int k, unsigned seed = 1, double scale = 1) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < k; ++j) {
            seed = seed * 1103515245u + 12345u;
            const double d = static_cast<double>((seed >> 16) % 1000) / 10000.0;
            const double t = 6.283185307179586 * j / k;
            s += cformat("%.6g %.6g ", scale * (std::cos(t) + d), scale * (std::sin(t) + 2 * d));
        }
        s += cformat("%.3f\n", 1.0 + 0.01 * i);
    }
    return s;
}

// n specimens of p variables drawn from a linear congruential sequence.
inline std::string variable_block(int n, int p, unsigned seed = 1) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < p; ++j) {
            seed = seed * 1103515245u + 12345u;
            s += cformat("%g ", static_cast<double>((seed >> 16) % 1000) / 100.0);
        }
        s += "\n";
    }
    return s;
}

// n copies of one line.
inline std::string copies(int n, const std::string& line) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += line + "\n";
    return s;
}

#define SKIP_WITHOUT(path) \
    if ((path).empty())    \
    GTEST_SKIP() << "the published datasets are not here"

}  // namespace tesvane::test
