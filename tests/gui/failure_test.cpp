// Every button of the main window pressed where it must fail: nothing loaded, a cancelled
// dialog, an empty file, a file of words. Each time the user is told, the windows keep answering
// and nothing is left open that waits for the user.
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <fstream>
#include <map>
#include <set>

#include "app/controls.hpp"
#include "gui_fixture.hpp"

namespace tesvane::test {
namespace {

namespace fs = std::filesystem;

enum class Answer { None, Cancel, EmptyFile, WordsFile, NewFile };

struct FailingPress {
    std::string action;
    Answer answer;
    // In the message box, or on the console when `on_console`; empty: no message at all.
    std::string says;
    bool on_console = false;
};

std::ostream& operator<<(std::ostream& os, const FailingPress& p) {
    return os << p.action << " answer " << static_cast<int>(p.answer);
}

const char* const kCannotOpenEmpty = "empty.txt";
const char* const kNotANumber = "words.txt, line 1";

std::vector<FailingPress> failing_presses() {
    std::vector<FailingPress> presses = {
        {"LoadG1B1", Answer::Cancel, ""},
        {"LoadG1B1", Answer::EmptyFile, kCannotOpenEmpty},
        {"LoadG1B1", Answer::WordsFile, kNotANumber},
        {"LoadG1B2", Answer::EmptyFile, kCannotOpenEmpty},
        {"LoadG1B2", Answer::WordsFile, kNotANumber},
        {"LoadG2B1", Answer::WordsFile, kNotANumber},
        {"LoadG2B2", Answer::Cancel, ""},
        {"LoadG2B2", Answer::EmptyFile, kCannotOpenEmpty},
        {"LoadTemplate", Answer::Cancel, ""},
        {"LoadTemplate", Answer::WordsFile, kNotANumber},
        {"DoSVD2", Answer::None, "The session variable data1 is empty", true},
        {"BootSVD2Angle", Answer::None, "The session variable sbee2 is empty", true},
        {"ShowAxis", Answer::None, "The session variable ubee2 is empty", true}};
    // The session variable each save needs. The principal axes are checked before the file is
    // asked for, the others after it.
    const std::map<std::string, std::string> needs = {
        {"SavePCB1G1", "Vm1c"},     {"SavePCB1G2", "Vm1g"},      {"SavePCB2G1", "Vm2c"},
        {"SavePCB2G2", "Vm2g"},     {"SaveSVDB1G1", "ubee2"},    {"SaveSVDB1G2", "ubee2g"},
        {"SaveSVDB2G1", "vbee2"},   {"SaveSVDB2G2", "vbee2g"},   {"SaveRef1", "reference1"},
        {"SaveRef2", "reference2"}, {"SaveRef2g", "reference2g"}};
    for (const auto& [action, var] : needs) {
        const std::string says = "Nothing to save: " + var + " is empty";
        if (action.rfind("SavePC", 0) == 0) {
            presses.push_back({action, Answer::None, says});
        } else {
            presses.push_back({action, Answer::NewFile, says});
            presses.push_back({action, Answer::Cancel, ""});
        }
    }
    return presses;
}

class FailureTest : public GuiTest, public ::testing::WithParamInterface<FailingPress> {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
        for (QMessageBox* box : main().findChildren<QMessageBox*>())
            box->close();
        QApplication::processEvents();
        std::ofstream(dir_.path() / "empty.txt");
        std::ofstream(dir_.path() / "words.txt") << "these are words\nnot numbers at all\n";
    }

    // Presses the button; a dialog left waiting for the user is closed after a few seconds and
    // counts as a hang.
    bool press_without_hanging(const std::string& action) {
        bool hung = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            hung = true;
            ui().abandon_waits();
        });
        watchdog.start(5000);
        main().button(action)->click();
        watchdog.stop();
        return !hung;
    }

    // A posted call and a zero timer both run soon after the press.
    static bool responsive() {
        bool posted = false, timed = false;
        QMetaObject::invokeMethod(
            qApp, [&] { posted = true; }, Qt::QueuedConnection);
        QTimer::singleShot(0, qApp, [&] { timed = true; });
        return QTest::qWaitFor([&] { return posted && timed; }, 500);
    }

    fs::path answer_path(Answer a) const {
        return dir_.path() / (a == Answer::EmptyFile   ? "empty.txt"
                              : a == Answer::WordsFile ? "words.txt"
                                                       : "written.txt");
    }

    TempDir dir_;
};

TEST_P(FailureTest, TellsTheUserAndLeavesTheWindowsAnswering) {
    const FailingPress& p = GetParam();
    if (p.answer == Answer::Cancel)
        files = {std::nullopt};
    else if (p.answer != Answer::None)
        files = {answer_path(p.answer)};
    const int lines_before = main().console_pane().document()->blockCount();

    ASSERT_TRUE(press_without_hanging(p.action)) << "a dialog waited for the user";
    EXPECT_TRUE(responsive());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    for (QProgressDialog* d : main().findChildren<QProgressDialog*>())
        EXPECT_FALSE(d->isVisible());
    EXPECT_FALSE(ui().busy());
    EXPECT_LE(dialogs.size(), p.answer == Answer::None ? 0u : 1u);

    const std::vector<std::string> shown = messages();
    std::string console;
    const QTextDocument* doc = main().console_pane().document();
    for (int i = lines_before; i < doc->blockCount(); ++i)
        console += doc->findBlockByNumber(i).text().toStdString() + "\n";
    SCOPED_TRACE("console: " + console);
    for (QMessageBox* box : main().findChildren<QMessageBox*>())
        EXPECT_FALSE(box->isModal());  // shown, never waited on
    if (p.on_console || p.says.empty()) {
        EXPECT_TRUE(shown.empty()) << shown.front();
    } else {
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].find(p.says), std::string::npos) << shown[0];
    }
    if (p.on_console) {
        EXPECT_NE(console.find("Error: " + p.says), std::string::npos);
    }
    // Nothing was loaded, so the data boxes are as they were, and no file was written.
    for (const char* box : {"FileBox1", "FileBox2", "FileBox3", "FileBox4"})
        EXPECT_EQ(string_of(box), " ") << box;
    EXPECT_FALSE(fs::exists(dir_.path() / "written.txt"));
}

INSTANTIATE_TEST_SUITE_P(EveryButton, FailureTest, ::testing::ValuesIn(failing_presses()));

TEST(FailurePresses, CoverEveryButtonThatCanFail) {
    std::set<std::string> covered;
    for (const FailingPress& p : failing_presses())
        covered.insert(p.action);
    for (const ActionButton& b : action_buttons()) {
        if (b.action != "Clear&reset" && b.action.rfind("Axis", 0) != 0) {  // tested below
            EXPECT_TRUE(covered.count(b.action)) << b.action;
        }
    }
}

using FailureWithoutDataTest = GuiTest;

TEST_F(FailureWithoutDataTest, AxisButtonsWithoutANumberOrAnAnalysisAndClearResetOnNothing) {
    start();
    // Without an analysis there is no axis beyond the first: quietly nothing.
    main().button("AxisUp")->click();
    EXPECT_EQ(string_of("ShowBox"), "1");
    ui().control("ShowBox").set_string("first");
    for (const char* action : {"AxisDown", "AxisUp"}) {
        main().button(action)->click();
        EXPECT_EQ(main().console_pane().toPlainText().count("Error: \"first\" is not a number"),
                  action[4] == 'D' ? 1 : 2);
        EXPECT_EQ(string_of("ShowBox"), "first");
    }
    main().button("Clear&reset")->click();  // cannot fail: on an empty session quietly nothing
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(ui().busy());
}

}  // namespace
}  // namespace tesvane::test
