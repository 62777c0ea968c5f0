// Opening a recorded session in the windows: the files it would write are listed first, and
// the default answer replays it without writing any of them.
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui_fixture.hpp"
#include "platform/qt/session_files.hpp"
#include "test_paths.hpp"

namespace tesvane::test {
namespace {

namespace fs = std::filesystem;

class ReplayTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
    }
    // A session that loads, analyses and then writes five files.
    fs::path writing_session() {
        const fs::path script = dir.path() / "writes.tvs";
        std::ofstream s(script);
        const char* const loads[][2] = {{"LoadG1B1", "groupA_b1.txt"},
                                        {"LoadG1B2", "groupA_b2.txt"},
                                        {"LoadG2B1", "groupB_b1.txt"},
                                        {"LoadG2B2", "groupB_b2.txt"}};
        for (const auto& [action, file] : loads)
            s << "answer file " << (data / file) << "\naction " << action << "\n";
        s << "action DoSVD2\n"
             "answer file ref1.txt\naction SaveRef1\n"
             "answer file report.txt\ncall AuxBoxsw\n"
             "savefig picture.svg\n"
             "session vars.json\n"
             "call writecsv table.csv $data1\n";
        return script;
    }
    // Answers the question about the files when it shows, with `press` (Enter: the default).
    void answer_question(std::function<void(QMessageBox&)> press) {
        QTimer::singleShot(0, [this, press] {
            auto* box = main().findChild<QMessageBox*>("ReplayQuestion");
            ASSERT_NE(box, nullptr);
            question = box->detailedText().toStdString();
            press(*box);
        });
    }
    std::vector<fs::path> written() const {
        return {dir.path() / "ref1.txt", dir.path() / "report.txt", dir.path() / "picture.svg",
                dir.path() / "vars.json", dir.path() / "table.csv"};
    }

    const fs::path data = examples_dir();
    TempDir dir;
    std::string question;
};

TEST_F(ReplayTest, OpenSessionListsTheFilesAndByDefaultWritesNone) {
    const fs::path script = writing_session();
    answer_question([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
    files = {script};
    action_named("&Open session…")->trigger();
    for (const fs::path& f : written()) {
        EXPECT_NE(question.find(f.string()), std::string::npos) << f << " not listed:\n"
                                                                << question;
        EXPECT_FALSE(fs::exists(f)) << f;
    }
    // The analysis itself was replayed.
    EXPECT_NE(string_of("AuxResults").find("Angle"), std::string::npos);
    EXPECT_TRUE(messages().empty());
    // The session goes on with the script's answers recorded as given.
    const std::string text = ui().recorder().script((dir.path() / "again.tvs").string());
    EXPECT_NE(text.find("answer file ref1.txt\naction SaveRef1"), std::string::npos) << text;
}

TEST_F(ReplayTest, ChoosingToWriteWritesThemAndCancelReplaysNothing) {
    const fs::path script = writing_session();
    answer_question([](QMessageBox& box) { box.findChild<QPushButton*>("ReplayWrite")->click(); });
    files = {script};
    action_named("&Open session…")->trigger();
    for (const fs::path& f : written())
        EXPECT_TRUE(fs::exists(f)) << f;

    for (const fs::path& f : written())
        fs::remove(f);
    ui().control("FileBox1").set_string(" ");
    answer_question([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    files = {script};
    action_named("&Open session…")->trigger();
    EXPECT_EQ(string_of("FileBox1"), " ");
    for (const fs::path& f : written())
        EXPECT_FALSE(fs::exists(f)) << f;
}

TEST_F(ReplayTest, AnUnknownActionIsAFailingLine) {
    const fs::path script = dir.path() / "typo.tvs";
    std::ofstream(script) << "action DoSvd2\n";
    EXPECT_EQ(gui::replay_session(ui(), ctx(), script.string()), 1);
    bool listed = false;
    for (const std::string& m : messages())
        listed = listed || m.find("typo.tvs, line 1: action DoSvd2") != std::string::npos;
    EXPECT_TRUE(listed);
}

}  // namespace
}  // namespace tesvane::test
