// Every button of the main window pressed where it must fail: nothing loaded, a cancelled
// dialog, an empty file, a file of words. Each time the user is told, the windows keep answering
// and nothing is left open that waits for the user.
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <set>

#include "app/controls.hpp"
#include "gui_fixture.hpp"
#include "platform/plain_words.hpp"

namespace tesvane::test {
namespace {

namespace fs = std::filesystem;

// Each button with the answers its file dialog gets: c(ancel), e(mpty file), w(ords file),
// f(resh file name); or not asked: n (message box), k (console). `var` is the empty session
// variable named. The principal axes are checked before the file is asked for, the other saves
// after it.
struct Row {
    const char* action;
    const char* answers;
    const char* var;
};
// Names the cases in ctest.
void PrintTo(const Row& r, std::ostream* os) {
    *os << r.action;
}
const Row kRows[] = {{"LoadG1B1", "cew", ""},
                     {"LoadG1B2", "ew", ""},
                     {"LoadG2B1", "w", ""},
                     {"LoadG2B2", "ce", ""},
                     {"LoadTemplate", "cw", ""},
                     {"DoSVD2", "k", "data1"},
                     {"BootSVD2Angle", "k", "sbee2"},
                     {"ShowAxis", "k", "ubee2"},
                     {"SavePCB1G1", "n", "Vm1c"},
                     {"SavePCB1G2", "n", "Vm1g"},
                     {"SavePCB2G1", "n", "Vm2c"},
                     {"SavePCB2G2", "n", "Vm2g"},
                     {"SaveSVDB1G1", "fc", "ubee2"},
                     {"SaveSVDB1G2", "fc", "ubee2g"},
                     {"SaveSVDB2G1", "fc", "vbee2"},
                     {"SaveSVDB2G2", "fc", "vbee2g"},
                     {"SaveRef1", "fc", "reference1"},
                     {"SaveRef2", "fc", "reference2"},
                     {"SaveRef2g", "fc", "reference2g"},
                     {"SaveScores", "n", "sbee2"}};

// What the user is told; empty: nothing at all.
std::string says(char a, const std::string& var) {
    return a == 'c'   ? ""
           : a == 'e' ? "empty.txt"
           : a == 'w' ? "words.txt, line 1"
           : a == 'k' ? empty_variable_message(var)
                      : "Nothing to save: " + var + " is empty";
}

class FailureTest : public GuiTest, public ::testing::WithParamInterface<Row> {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
        std::ofstream(dir_.path() / "empty.txt");
        std::ofstream(dir_.path() / "words.txt") << "these are words\nnot numbers at all\n";
    }
    // A dialog left waiting for the user is closed after a few seconds and counts as a hang.
    bool press_without_hanging(const std::string& action) {
        bool hung = false;
        QTimer watchdog;  // stopped when it goes out of scope
        watchdog.callOnTimeout([&] { hung = true, ui().abandon_waits(); });
        watchdog.start(5000);
        main().button(action)->click();
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
    TempDir dir_;
};

// The answers of a button one after the other: each failure leaves the next press working.
TEST_P(FailureTest, TellsTheUserAndLeavesTheWindowsAnswering) {
    const Row& r = GetParam();
    for (const char* a = r.answers; *a; ++a) {
        SCOPED_TRACE(std::string(r.action) + " answer " + *a);
        for (QMessageBox* box : main().findChildren<QMessageBox*>())
            box->close();
        QApplication::processEvents();
        dialogs.clear();
        const bool asks = *a != 'n' && *a != 'k';
        const char* file = *a == 'e' ? "empty.txt" : *a == 'w' ? "words.txt" : "written.txt";
        files = {*a == 'c' ? std::nullopt : std::optional(dir_.path() / file)};  // if asked
        ASSERT_TRUE(press_without_hanging(r.action)) << "a dialog waited for the user";
        EXPECT_TRUE(responsive());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        for (QProgressDialog* d : main().findChildren<QProgressDialog*>())
            EXPECT_FALSE(d->isVisible());
        EXPECT_FALSE(ui().busy());
        EXPECT_LE(dialogs.size(), asks ? 1u : 0u);
        const std::string told = says(*a, r.var);
        const std::vector<std::string> shown = messages();
        const bool boxed = *a != 'k' && !told.empty();
        ASSERT_EQ(shown.size(), boxed ? 1u : 0u) << (shown.empty() ? "" : shown[0]);
        EXPECT_TRUE(!boxed || shown[0].find(told) != std::string::npos) << shown[0];
        EXPECT_TRUE(*a != 'k' || main().console_pane().toPlainText().contains(
                                     QString::fromStdString("Error: " + told)));
        // Nothing was loaded, so the data boxes are as they were, and no file was written.
        for (const char* box : {"FileBox1", "FileBox2", "FileBox3", "FileBox4"})
            EXPECT_EQ(string_of(box), " ") << box;
        EXPECT_FALSE(fs::exists(dir_.path() / "written.txt"));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryButton, FailureTest, ::testing::ValuesIn(kRows));

using FailureWithoutDataTest = GuiTest;

TEST_F(FailureWithoutDataTest, UnknownActionAxisButtonsClearResetAndTheTableCoversTheOtherButtons) {
    start();
    // Without an analysis there is no axis beyond the first: quietly nothing.
    main().button("AxisUp")->click();
    EXPECT_EQ(string_of("ShowBox"), "1");
    main().press("loadg1b1", "wrong case");
    EXPECT_EQ(messages(), std::vector<std::string>{"Fell through case!  Dang"});
    EXPECT_TRUE(dialogs.empty());  // nothing was loaded
    ui().control("ShowBox").set_string("4");
    main().button("AxisDown")->click();  // the next action runs normally
    EXPECT_EQ(string_of("ShowBox"), "3");
    ui().control("ShowBox").set_string("first");
    for (const char* action : {"AxisDown", "AxisUp"}) {
        main().button(action)->click();
        EXPECT_EQ(main().console_pane().toPlainText().count("Error: \"first\" is not a number"),
                  action[4] == 'D' ? 1 : 2);
        EXPECT_EQ(string_of("ShowBox"), "first");
    }
    main().button("Clear&reset")->click();  // cannot fail: on an empty session quietly nothing
    EXPECT_EQ(messages().size(), 1u);       // only the fall-through
    EXPECT_FALSE(ui().busy());
    // The table covers every button that can fail.
    std::set<std::string> covered;
    for (const Row& r : kRows)
        covered.insert(r.action);
    for (const ActionButton& b : action_buttons())
        EXPECT_TRUE(covered.count(b.action) || b.action == "Clear&reset" ||
                    b.action.rfind("Axis", 0) == 0)  // tested above
            << b.action;
}

}  // namespace
}  // namespace tesvane::test
