// One real session with its windows per test; file dialogs answered from a queue.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/qt/gui_main.hpp"
#include "platform/qt/main_window.hpp"
#include "test_paths.hpp"
#include "test_util.hpp"

namespace tesvane::test {

class GuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        cwd_ = std::filesystem::current_path();
        session_.ui.set_file_dialog_hook(
            [this](gui::FileDialogKind kind, const std::string&) -> std::optional<FileChoice> {
                dialogs.push_back(kind);
                if (files.empty())
                    return std::nullopt;
                const std::optional<std::filesystem::path> p = files.front();
                files.pop_front();
                if (!p)
                    return std::nullopt;
                return FileChoice{p->parent_path().string(), p->filename().string()};
            });
    }
    // Actions change the current folder; the next test starts where this one did.
    void TearDown() override { std::filesystem::current_path(cwd_); }

    gui::QtPlatform& ui() { return session_.ui; }
    AppContext& ctx() { return session_.ctx; }
    gui::MainWindow& main() { return session_.ui.main_window(); }
    void start() { session_.start(); }
    std::string string_of(const std::string& tag) { return ui().control(tag).string(); }

    // The example groups' four blocks loaded with the buttons.
    void load_examples() {
        const std::filesystem::path d = examples_dir();
        files = {d / "groupA_b1.txt", d / "groupA_b2.txt", d / "groupB_b1.txt",
                 d / "groupB_b2.txt"};
        for (const char* action : {"LoadG1B1", "LoadG1B2", "LoadG2B1", "LoadG2B2"})
            main().button(action)->click();
    }

    // Texts of the message boxes now on screen.
    std::vector<std::string> messages() {
        std::vector<std::string> out;
        for (QMessageBox* box : main().findChildren<QMessageBox*>())
            if (box->isVisible())
                out.push_back(box->text().toStdString());
        return out;
    }

    // The menu entry of that text.
    QAction* action_named(const QString& text) {
        for (QAction* a : main().findChildren<QAction*>())
            if (a->text() == text)
                return a;
        return nullptr;
    }

    // Queued answers: a path, or nothing for Cancel.
    std::deque<std::optional<std::filesystem::path>> files;
    std::vector<gui::FileDialogKind> dialogs;  // the dialogs asked, in order

  private:
    std::filesystem::path cwd_;
    GuiSession session_;
};

// A fresh empty folder, removed afterwards. mkdtemp makes the name unique across the test
// processes ctest runs side by side (object addresses repeat when address randomisation is off).
class TempDir {
  public:
    TempDir() {
        std::string name = (std::filesystem::temp_directory_path() / "tesvane_gui_XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed for " + name);
        path_ = name;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace tesvane::test
