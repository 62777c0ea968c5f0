// Recorded sessions: what the recorder writes, and that `tesvane script` replays it to the same
// results.
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

    HeadlessPlatform inner;
    SessionRecorder recorder{inner};
    AppContext recorded;
};

TEST_F(RecorderTest, RecordedSessionReplaysToTheSameReportAndFiles) {
    const fs::path data = examples_dir();
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
    const std::string recorded_report = inner.control("AuxResults").string();
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

TEST_F(RecorderTest, ReplayFailuresNameTheLineAndNoRealDialogOpens) {
    const fs::path script = dir / "bad.tvs";
    std::ofstream(script) << "action LoadG1B1\nset ShowBox String 3\n";
    std::ostringstream out, err;
    inner.queue(DialogAnswer::file("/never/used.txt"));
    EXPECT_EQ(recorder.replay(recorded, script.string(), out, err, nullptr), 1);
    EXPECT_NE(err.str().find("bad.tvs, line 1: action LoadG1B1 failed"), std::string::npos);
    EXPECT_EQ(inner.queued(), 1u);  // the user's platform was never asked
    EXPECT_NE(inner.console_lines().back().find("No answer is queued"), std::string::npos);
    // Texts the reader could not split back into the same word are refused, not written wrong.
    for (const char* text : {"1\n2", "a \"b", "\"b"}) {
        inner.control("ShowBox").set_string(text);
        EXPECT_THROW(recorder.script((dir / "s.tvs").string()), Error) << text;
        recorder.restart();
    }
}

}  // namespace
}  // namespace tesvane::test
