// Recorded sessions in the windows: what the user types, ticks, picks and presses is saved from
// the File menu as a script that `tesvane script` replays to the same report, and a script is
// replayed back into the windows.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <sstream>

#include "app/script_runner.hpp"
#include "gui_fixture.hpp"
#include "platform/qt/session_files.hpp"
#include "test_paths.hpp"

namespace tesvane::test {
namespace {

namespace fs = std::filesystem;

class SessionTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
    }
    // Types into a line edit as the user would.
    void type(const char* tag, const QString& text) {
        auto* edit = main().findChild<QLineEdit*>(tag);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    const fs::path data = source_dir() / "examples" / "data";
    TempDir dir;
};

TEST_F(SessionTest, SavedSessionReplaysHeadlessToTheSameReport) {
    main().findChild<QCheckBox*>("HomologyButton")->click();  // ticked at start: now not
    files = {data / "groupA_b1.txt", data / "groupA_b2.txt", std::nullopt, data / "groupB_b1.txt",
             data / "groupB_b2.txt"};
    for (const char* action : {"LoadG1B1", "LoadG1B2", "LoadG2B1", "LoadG2B1", "LoadG2B2"})
        main().button(action)->click();
    main().button("DoSVD2")->click();
    type("ShowBox", "2");
    main().findChild<QComboBox*>("ReqAxisBox")->setCurrentIndex(4);
    files = {dir.path() / "axis.txt"};
    main().button("SaveSVDB2G1")->click();
    const std::string report = string_of("AuxResults");
    ASSERT_NE(report.find("Angle"), std::string::npos) << report;
    const std::string axis = read_all(dir.path() / "axis.txt");
    ASSERT_FALSE(axis.empty());

    files = {dir.path() / "session"};
    ASSERT_NE(action_named("Save &session…"), nullptr);
    action_named("Save &session…")->trigger();
    const fs::path script = dir.path() / "session.tvs";
    const std::string text = read_all(script);
    // The rest shows in the replay; a cancel must be recorded as one.
    EXPECT_NE(text.find("answer cancel\naction LoadG2B1\n"), std::string::npos) << text;
    EXPECT_EQ(dialogs.back(), gui::FileDialogKind::Save);

    fs::remove(dir.path() / "axis.txt");
    std::ofstream(script, std::ios::app) << "print AuxResults\n";
    std::ostringstream out, err;
    ASSERT_EQ(run_script(script.string(), out, err, nullptr), 0) << err.str();
    EXPECT_EQ(out.str(), report + "\n");
    EXPECT_EQ(read_all(dir.path() / "axis.txt"), axis);
}

TEST_F(SessionTest, OpenSessionReplaysInTheWindowsWithoutAskingAnything) {
    const fs::path script = dir.path() / "load.tvs";
    std::ofstream(script) << "set BootBox String 20\nanswer file " << (data / "groupA_b1.txt")
                          << "\naction LoadG1B1\nprint FileBox1\n";
    files = {script};
    ASSERT_NE(action_named("&Open session…"), nullptr);
    action_named("&Open session…")->trigger();
    EXPECT_EQ(dialogs.size(), 1u);  // the script's own; the load was answered by the script
    EXPECT_EQ(string_of("BootBox"), "20");
    EXPECT_EQ(string_of("FileBox1"), "File: groupA_b1.txt \n  30 Specimens \n   8 Landmarks");
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(ui().busy());
    // What was replayed is part of the session the user goes on with.
    const std::string text = ui().recorder().script((dir.path() / "again.tvs").string());
    EXPECT_NE(text.find("set BootBox String 20\nanswer file "), std::string::npos) << text;
    EXPECT_NE(text.find("action LoadG1B1\n"), std::string::npos);
}

TEST_F(SessionTest, FailedReplayIsAMessageNamingTheLines) {
    const fs::path script = dir.path() / "broken.tvs";
    std::ofstream(script) << "action DoSVD2\naction LoadG1B1\n";  // no answer for the load
    EXPECT_EQ(gui::replay_session(ui(), ctx(), script.string()), 1);
    const std::vector<std::string> shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("broken.tvs, line 1: action DoSVD2 failed"), std::string::npos);
    EXPECT_NE(shown[0].find("broken.tvs, line 2: action LoadG1B1 failed"), std::string::npos);
    EXPECT_TRUE(dialogs.empty());  // no real dialog stood in for the missing answer
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    std::ofstream(script) << "set ShowBox Colour 3\n";
    EXPECT_EQ(gui::replay_session(ui(), ctx(), script.string()), 2);
    EXPECT_NE(messages().back().find("line 1: unknown property Colour"), std::string::npos);
    // A session that cannot be written says so.
    files = {dir.path() / "no such folder" / "s.tvs"};
    action_named("Save &session…")->trigger();
    EXPECT_NE(messages().back().find("The session was not saved"), std::string::npos);
}

}  // namespace
}  // namespace tesvane::test
