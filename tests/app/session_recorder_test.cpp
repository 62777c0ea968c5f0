// Recorded sessions: what the recorder writes, and that `tesvane script` replays it to the same
// results.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/Tesvane6i.hpp"
#include "app/session_recorder.hpp"
#include "app_fixture.hpp"
#include "platform/error.hpp"

namespace tesvane::test {
namespace {

namespace fs = std::filesystem;

// A headless session whose steps go through a recorder.
class RecorderTest : public AppTest {
  protected:
    RecorderTest() : recorded(recorder) {
        add_window_controls(inner);
        register_functions(recorded);
        Tesvane6i_start(recorded);
        recorder.restart();
    }
    bool step(const std::string& action, const std::optional<fs::path>& file) {
        inner.queue(file ? DialogAnswer::file(file->string()) : DialogAnswer::cancel());
        return recorder.run_action(recorded, action);
    }
    std::string report() { return inner.control("AuxResults").string(); }

    HeadlessPlatform inner;
    SessionRecorder recorder{inner};
    AppContext recorded;
};

TEST_F(RecorderTest, RecordedSessionReplaysToTheSameReportAndFiles) {
    const fs::path data = source_dir() / "examples" / "data";
    inner.control("Morph2").set_value(1);  // unchanged: no line
    ASSERT_TRUE(step("LoadG1B1", data / "groupA_b1.txt"));
    ASSERT_TRUE(step("LoadG1B2", std::nullopt));  // cancelled, then loaded
    ASSERT_TRUE(step("LoadG1B2", data / "groupA_b2.txt"));
    ASSERT_TRUE(step("LoadG2B1", data / "groupB_b1.txt"));
    ASSERT_TRUE(step("LoadG2B2", data / "groupB_b2.txt"));
    ASSERT_TRUE(recorder.run_action(recorded, "DoSVD2"));
    inner.control("ShowBox").set_string("2");
    inner.control("ReqAxisBox").set_value(3);
    fs::create_directories(dir / "out dir");
    ASSERT_TRUE(step("SaveSVDB1G1", dir / "out dir" / "axis 2.txt"));
    inner.control("AlphaBox").set_string("0.1");  // after the last step: still written
    const std::string recorded_report = report();
    ASSERT_NE(recorded_report.find("Angle"), std::string::npos) << recorded_report;

    const fs::path script = dir / "session.tvs";
    recorder.save(script.string());
    // Paths under the script's folder are relative; the data outside it stay absolute. Controls
    // the user left alone or that the program wrote (the file boxes) give no line.
    auto answer = [&](const char* file) {
        return "answer file " + (data / file).lexically_normal().string() + "\n";
    };
    EXPECT_EQ(read(script),
              "# A recorded Tesvane session; replay it with: tesvane script FILE\n" +
                  answer("groupA_b1.txt") + "action LoadG1B1\nanswer cancel\naction LoadG1B2\n" +
                  answer("groupA_b2.txt") + "action LoadG1B2\n" + answer("groupB_b1.txt") +
                  "action LoadG2B1\n" + answer("groupB_b2.txt") +
                  "action LoadG2B2\naction DoSVD2\nset ShowBox String 2\nset ReqAxisBox Value "
                  "3\nanswer file \"out dir/axis 2.txt\"\naction SaveSVDB1G1\nset AlphaBox "
                  "String 0.1\n");

    const std::string axis = read(dir / "out dir" / "axis 2.txt");
    fs::remove(dir / "out dir" / "axis 2.txt");
    std::ofstream(script, std::ios::app) << "print AuxResults\nprint ShowBox\n";
    std::ostringstream out, err;
    ASSERT_EQ(run_script(script.string(), out, err, nullptr), 0) << err.str();
    EXPECT_EQ(out.str(), recorded_report + "\n2\n");
    EXPECT_EQ(read(dir / "out dir" / "axis 2.txt"), axis);
}

TEST_F(RecorderTest, AnswersOfEveryKindReplayIntoARunningSession) {
    // A step that asks everything a step can ask, and notes what it got.
    std::vector<std::string> got;
    recorded.functions.add("Ask", 0, 0, [&got](AppContext& c, const Values&, int) {
        const auto text = c.ui.input_dialog("Angle", "Degrees?", "10");
        got.push_back(text ? *text : "<none>");
        for (int i = 0; i < 2; ++i) {
            const auto click = c.ui.click_in_axes();
            got.push_back(click ? std::to_string(click->x) + "," + std::to_string(click->button)
                                : "<none>");
        }
        const auto file = c.ui.save_file_dialog("Save", "*.*");
        got.push_back(file ? file->name : "<none>");
        return Values{};
    });
    inner.queue(DialogAnswer::input("a b"));
    inner.queue(DialogAnswer::mouse({0.25, -3, 3}));
    inner.queue(DialogAnswer::cancel());
    inner.queue(DialogAnswer::file((dir / "x.txt").string()));
    ASSERT_TRUE(recorder.run(recorded, "Ask"));
    const std::vector<std::string> first = got;
    EXPECT_EQ(first, (std::vector<std::string>{"a b", "0.250000,3", "<none>", "x.txt"}));
    inner.control("NumberButton").set_enable("off");

    const fs::path script = dir / "asks.tvs";
    recorder.save(script.string());
    const std::string text = read(script);
    const std::string expected_steps =
        "answer text \"a b\"\nanswer click 0.25 -3 3\nanswer cancel\nanswer file x.txt\n"
        "call Ask\nset NumberButton Enable off\n";
    EXPECT_NE(text.find(expected_steps), std::string::npos) << text;

    // Replayed into the running session: the script's answers, never the platform's.
    std::ofstream(script, std::ios::app) << "answer file unused.txt\n";
    got.clear();
    inner.control("NumberButton").set_enable("on");
    recorder.restart();
    std::ostringstream out, err;
    ASSERT_EQ(recorder.replay(recorded, script.string(), out, err, nullptr), 0) << err.str();
    EXPECT_EQ(got, first);
    EXPECT_EQ(inner.control("NumberButton").enable(), "off");
    EXPECT_FALSE(recorder.replaying());
    // The replayed steps are recorded as the user's; the unused answer is not.
    EXPECT_EQ(recorder.script(script.string()), text);
}

TEST_F(RecorderTest, ReplayFailuresNameTheLineAndNoRealDialogOpens) {
    const fs::path script = dir / "bad.tvs";
    std::ofstream(script) << "action LoadG1B1\nset ShowBox String 3\nfrobnicate\n";
    std::ostringstream out, err;
    inner.queue(DialogAnswer::file("/never/used.txt"));
    EXPECT_EQ(recorder.replay(recorded, script.string(), out, err, nullptr), 2);
    EXPECT_NE(err.str().find("bad.tvs, line 1: action LoadG1B1 failed"), std::string::npos);
    EXPECT_NE(err.str().find("bad.tvs, line 3: unknown command \"frobnicate\""), std::string::npos);
    EXPECT_EQ(inner.queued(), 1u);  // the user's platform was never asked
    EXPECT_NE(inner.console_lines().back().find("No answer is queued"), std::string::npos);
    EXPECT_EQ(recorder.replay(recorded, (dir / "absent.tvs").string(), out, err, nullptr), 2);
    // Texts the reader could not split back into the same word are refused, not written wrong.
    for (const char* text : {"1\n2", "a \"b", "\"b"}) {
        inner.control("ShowBox").set_string(text);
        EXPECT_THROW(recorder.script((dir / "s.tvs").string()), Error) << text;
        recorder.restart();
    }
}

}  // namespace
}  // namespace tesvane::test
