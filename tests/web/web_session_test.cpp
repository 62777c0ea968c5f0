// The session the page drives: its JSON steps run the desktop's actions, refuse wrong requests,
// answer only the dialogs the page collected for, and record a script the desktop replays to the
// same report.
#include "web/web_session.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/controls.hpp"
#include "app/run_command.hpp"
#include "app/script_runner.hpp"
#include "test_paths.hpp"
#include "test_util.hpp"

namespace tesvane::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const char* const kExampleFiles[] = {"groupA_b1.txt", "groupA_b2.txt", "groupB_b1.txt",
                                     "groupB_b2.txt"};
const char* const kLoads[] = {"LoadG1B1", "LoadG1B2", "LoadG2B1", "LoadG2B2"};

// A session folder holding copies of the example data, as the page's in-memory /data does.
class WebSessionTest : public ::testing::Test {
  protected:
    WebSessionTest() {
        folder =
            fs::temp_directory_path() /
            ("tesvane_web_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (const char* f : kExampleFiles)
            fs::copy_file(source_dir() / "examples" / "data" / f, folder / f);
        restart();
    }
    void restart() {
        progress.clear();
        session = std::make_unique<WebSession>(
            folder.string(), [this](double f, const std::string&) { progress.push_back(f); });
    }
    ~WebSessionTest() override { fs::remove_all(folder); }

    json step(const json& request) { return json::parse(session->step(request.dump())); }
    json load_all() {
        json last;
        for (int i = 0; i < 4; ++i) {
            last = step({{"action", kLoads[i]}, {"files", {(folder / kExampleFiles[i]).string()}}});
            EXPECT_TRUE(last["ok"]) << kLoads[i] << ": " << last.dump();
        }
        return last;
    }
    static json analyse_request(int permutations) {
        return {{"action", "DoSVD2"},
                {"controls",
                 {{"PermuteButton", {{"Value", permutations > 0 ? 1 : 0}}},
                  {"PermBox", {{"String", std::to_string(permutations)}}}}}};
    }
    static json boot_request(int boots) {
        return {{"action", "BootSVD2Angle"},
                {"controls",
                 {{"BootBox", {{"String", std::to_string(boots)}}},
                  {"AlphaBox", {{"String", "0.05"}}}}}};
    }

    fs::path folder;
    std::vector<double> progress;
    std::unique_ptr<WebSession> session;
};

TEST_F(WebSessionTest, RefusesWrongRequestsNamingWhatIsWrong) {
    struct Case {
        const char* request;
        const char* error;
    };
    const Case cases[] = {
        {"{not json", "request was refused"},
        {"[]", "names its \"action\""},
        {R"({"controls": {}})", "names its \"action\""},
        {R"({"action": 3})", "names its \"action\""},
        {R"({"action": "DoSVD2", "controls": []})", "\"controls\" must be an object"},
        {R"({"action": "DoSVD2", "controls": {"NoSuchBox": {"String": "1"}}})", "NoSuchBox"},
        {R"({"action": "DoSVD2", "controls": {"BootBox": {"String": 5}}})", "String of BootBox"},
        {R"({"action": "DoSVD2", "controls": {"BootBox": {"Colour": "red"}}})",
         "Colour of BootBox"},
        {R"({"action": "DoSVD2", "controls": {"BootBox": "5"}})", "properties of BootBox"},
        {R"({"action": "LoadG1B1", "files": "a.txt"})", "list of paths"},
        {R"({"action": "LoadG1B1", "files": [1]})", "list of paths"},
    };
    for (const Case& c : cases) {
        const json a = json::parse(session->step(c.request));
        EXPECT_FALSE(a["ok"]) << c.request;
        EXPECT_NE(a["error"].get<std::string>().find(c.error), std::string::npos)
            << c.request << " -> " << a["error"];
        // The page still gets the state it shows.
        EXPECT_TRUE(a["controls"].contains("BootBox")) << c.request;
    }
    // Nothing was run, so nothing was recorded.
    EXPECT_EQ(session->script().find("action"), std::string::npos);
}

TEST_F(WebSessionTest, LoadAnswersTheFileDialogAndADialogWithoutAnswerIsCancelled) {
    json a = step({{"action", "LoadG1B1"}});
    EXPECT_TRUE(a["ok"]);
    ASSERT_EQ(a["declined"].size(), 1u);
    EXPECT_EQ(a["controls"]["FileBox1"]["String"], " ");

    a = step({{"action", "LoadG1B1"}, {"files", {(folder / "groupA_b1.txt").string()}}});
    EXPECT_TRUE(a["ok"]) << a.dump();
    EXPECT_TRUE(a["declined"].empty());
    EXPECT_NE(a["controls"]["FileBox1"]["String"].get<std::string>().find("groupA_b1.txt"),
              std::string::npos);
    // The load plotted the block: the figure comes with the answer once, then not again.
    ASSERT_TRUE(a.contains("figure"));
    EXPECT_NE(a["figure"].get<std::string>().find("<svg"), std::string::npos);
    EXPECT_FALSE(json::parse(session->state()).contains("figure"));

    // A file that is not there is reported in a message box; the loaded block stays.
    a = step({{"action", "LoadG1B1"}, {"files", {(folder / "missing.txt").string()}}});
    ASSERT_EQ(a["messages"].size(), 1u) << a.dump();
    EXPECT_NE(a["messages"][0].get<std::string>().find("missing.txt"), std::string::npos);
    EXPECT_NE(a["controls"]["FileBox1"]["String"].get<std::string>().find("groupA_b1.txt"),
              std::string::npos);
}

TEST_F(WebSessionTest, StepsGiveTheReportsOfTesvaneRun) {
    struct Case {
        int permutations, boots;
    };
    for (const Case c : {Case{0, 0}, Case{49, 30}}) {
        SCOPED_TRACE(c.permutations);
        restart();
        load_all();
        std::string reports;
        json a = step(analyse_request(c.permutations));
        ASSERT_TRUE(a["ok"]) << a.dump();
        reports += a["report"].get<std::string>() + "\n";
        if (c.boots) {
            progress.clear();
            a = step(boot_request(c.boots));
            ASSERT_TRUE(a["ok"]) << a.dump();
            reports += a["report"].get<std::string>() + "\n";
            // Progress reached the page during the bootstrap, rising to the end.
            ASSERT_FALSE(progress.empty());
            EXPECT_GE(progress.back(), 1.0);
            EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
        }

        RunOptions o;
        o.g1b1 = (folder / kExampleFiles[0]).string();
        o.g1b2 = (folder / kExampleFiles[1]).string();
        o.g2b1 = (folder / kExampleFiles[2]).string();
        o.g2b2 = (folder / kExampleFiles[3]).string();
        o.threads = 2;
        if (c.permutations)
            o.permutations = c.permutations;
        if (c.boots)
            o.boot = c.boots;
        std::ostringstream out, err;
        ASSERT_EQ(run_analysis(o, out, err), 0) << err.str();
        EXPECT_EQ(reports, out.str());
    }
}

TEST_F(WebSessionTest, RecordedScriptReplaysOnTheDesktopAndInANewPageSession) {
    load_all();
    ASSERT_TRUE(step(analyse_request(19))["ok"]);
    json a = step(boot_request(25));
    ASSERT_TRUE(a["ok"]);
    const std::string report = a["report"];
    a = step({{"action", "ShowAxis"},
              {"controls", {{"ReqAxisBox", {{"Value", 3}}}, {"DeFormat", {{"Value", 4}}}}}});
    ASSERT_TRUE(a["ok"]) << a.dump();
    session->note_saved_figure("figure-1.svg");

    const std::string script = session->script();
    // Files are named relative to the script's folder, so the script moves with the data.
    EXPECT_NE(script.find("answer file groupA_b1.txt\naction LoadG1B1"), std::string::npos)
        << script;
    EXPECT_NE(script.find("set BootBox String 25"), std::string::npos);
    EXPECT_NE(script.find("savefig figure-1.svg"), std::string::npos);

    // The desktop's replay, without windows: same report.
    {
        std::ofstream(folder / "session.tvs") << script << "print AuxResults\n";
        std::ostringstream out, err;
        const FigureSaver save = [](const fig::Figure& f, const std::string& p) {
            std::ofstream(p) << figure_svg(f);
        };
        ASSERT_EQ(run_script((folder / "session.tvs").string(), out, err, save), 0) << err.str();
        EXPECT_EQ(out.str(), report + "\n");
        EXPECT_TRUE(fs::exists(folder / "figure-1.svg"));
    }
    // A new page session (after a cancel) replays it to the same state and records it again.
    WebSession again(folder.string());
    const json r = json::parse(again.replay(script));
    EXPECT_TRUE(r["ok"]) << r.dump();
    EXPECT_EQ(r["exit"], 0);
    EXPECT_EQ(r["report"], report);
    EXPECT_EQ(again.script(), script);
    EXPECT_EQ(again.results_json(), session->results_json());
}

TEST_F(WebSessionTest, SaveActionsWriteTheFileTheirDialogIsAnsweredWith) {
    load_all();
    ASSERT_TRUE(step(analyse_request(0))["ok"]);
    for (const char* action : {"SaveSVDB1G1", "SavePCB2G2", "SaveRef1"}) {
        const fs::path file = folder / (std::string(action) + ".txt");
        const json a = step({{"action", action}, {"files", {file.string()}}});
        ASSERT_TRUE(a["ok"]) << action << ": " << a.dump();
        std::ifstream in(file);
        std::string line;
        ASSERT_TRUE(std::getline(in, line)) << action;
        EXPECT_NE(line.find('%'), std::string::npos) << action << ": " << line;
    }
    // The report file, its figures inline, and the scores table, as `run --report/--scores`.
    const std::pair<const char*, const char*> exports[] = {
        {"ExportReport", "<!DOCTYPE html>"},
        {"SaveScores", "\"group\",\"specimen\",\"block1_axis1\""}};
    for (const auto& [action, start] : exports) {
        const fs::path file = folder / (std::string(action) + ".out");
        const json a = step({{"action", action}, {"files", {file.string()}}});
        ASSERT_TRUE(a["ok"]) << action << ": " << a.dump();
        const std::string text = read_file(file);
        EXPECT_EQ(text.rfind(start, 0), 0u) << action << ": " << text.substr(0, 80);
        if (std::string(action) == "ExportReport") {
            EXPECT_NE(text.find("<svg"), std::string::npos);
        }
    }
}

TEST_F(WebSessionTest, ClicksAndTheRotationDialogAreDeclined) {
    load_all();
    ASSERT_TRUE(step(analyse_request(0))["ok"]);
    struct Case {
        const char* control;
        const char* declined;
    };
    const Case cases[] = {{"GridButton", "a mouse click in the plot"},
                          {"RotateRequest", "Rotation"}};
    for (const Case& c : cases) {
        json controls = {{"ReqAxisBox", {{"Value", 3}}},
                         {"DeFormat", {{"Value", 1}}},
                         {"GridButton", {{"Value", 0}}},
                         {"RotateRequest", {{"Value", 0}}}};
        controls[c.control] = {{"Value", 1}};
        const json a = step({{"action", "ShowAxis"}, {"controls", controls}});
        EXPECT_TRUE(a["ok"]) << c.control << ": " << a.dump();
        bool found = false;
        for (const json& d : a["declined"])
            found |= d.get<std::string>().find(c.declined) != std::string::npos;
        EXPECT_TRUE(found) << c.control << ": " << a["declined"].dump();
    }
}

TEST_F(WebSessionTest, ClearAndResetLeavesNoResultsOrPlotOnTheScreen) {
    load_all();
    ASSERT_TRUE(step(analyse_request(0))["ok"]);
    ASSERT_TRUE(step({{"action", "ShowAxis"}})["ok"]);
    const json a = step({{"action", "Clear&reset"}});
    ASSERT_TRUE(a["ok"]) << a.dump();
    EXPECT_EQ(a["report"], "");
    ASSERT_TRUE(a.contains("figure"));
    EXPECT_EQ(a["figure"], WebSession(folder.string()).figure_svg());
}

TEST(BrowserPlatform, WritesFiguresAsSvgOnlyAndHasNoClipboard) {
    BrowserPlatform ui;
    const fs::path p = fs::temp_directory_path() / "tesvane_web_figure.png";
    try {
        ui.save_figure_file(p.string(), "png");
        FAIL() << "PNG was written";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("png"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(p));
    ui.copy_figure_to_clipboard();
    EXPECT_EQ(ui.take_events().messages.size(), 1u);
}

TEST(WebInterface, ListsTheMainWindowsControlsAndButtons) {
    const json j = json::parse(WebSession::interface_json());
    EXPECT_EQ(j["seed"], kDefaultRandomSeed);
    bool plot_types = false, show = false;
    for (const json& c : j["controls"])
        if (c["tag"] == "ReqAxisBox")
            plot_types = c["kind"] == "popup" && c["entries"].size() == plot_type_names().size();
    for (const json& b : j["buttons"])
        show |= b["action"] == "ShowAxis";
    EXPECT_TRUE(plot_types);
    EXPECT_TRUE(show);
}

}  // namespace
}  // namespace tesvane::test
