// The dispatcher, the callable table, Clear&reset, the table of session variables with its JSON
// writer, and the start-up.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include <cmath>
#include <set>
#include <string>

#include "app/Tesvanesw.hpp"
#include "app_fixture.hpp"
#include "platform/error.hpp"
#include "platform/session_variables.hpp"

namespace tesvane::test {
namespace {

using DispatcherTest = AppTest;

TEST_F(DispatcherTest, UnknownOrMiscasedActionFallsThroughAndChangesNothing) {
    EXPECT_FALSE(run_action(ctx, "loadg1b1"));  // the message box reports a failed action
    EXPECT_EQ(last_message(), "Fell through case!  Dang");
    EXPECT_EQ(ui.dialog_titles().size(), 0u);  // no file dialog was opened
    EXPECT_TRUE(ctx.vars.empty("data1"));
    run_action(ctx, "");
    EXPECT_EQ(ui.messages().size(), 2u);
}

TEST_F(DispatcherTest, ClearResetForgetsResultsButKeepsAxesTemplatesAndSettings) {
    start();
    ui.control("HomologyButton").set_value(0);
    ui.control("HomologyButton").set_enable("Off");
    ui.control("FileBox1").set_string("File: a.txt");
    // The loaded data and the analysis results, with the specimen names of the blocks.
    const std::set<std::string> forgotten = {
        "data1", "pw1", "swc1", "data2", "pw2", "swc2", "data1g", "pw1g", "swc1g", "data2g", "pw2g",
        "swc2g", "ubee2", "vbee2", "sbee2", "sval2", "scor2", "ubee2g", "vbee2g", "sbee2g",
        "sval2g", "scor2g", "reference1", "referencetype1", "reference2", "reference2g",
        "referencetype2", "activem2", "homology2", "ids1", "ids2", "ids1g", "ids2g",
        // the permutation tests of the forgotten analysis
        "permcount", "permaxes", "permaxesg", "permstats", "permstatsg", "permeffect",
        "permcompare",
        // the bootstrap's angles and the names of the files loaded
        "bangle1", "bangle2", "bangle1g", "bangle2g", "balpha", "blockfile1", "blockfile2",
        "blockfile1g", "blockfile2g"};
    for (const SessionVariable& v : session_variables())
        ctx.vars.set(std::string(v.name), 2.0);
    ctx.vars.set("vlineformat1", std::string("k-"));
    ui.control("ShowBox").set_string("3");
    ui.control("Morph2").set_value(0);

    ASSERT_TRUE(run_action(ctx, "Clear&reset"));
    for (const SessionVariable& v : session_variables()) {
        const std::string name(v.name);
        EXPECT_EQ(ctx.vars.empty(name), forgotten.count(name) == 1) << name;
    }
    EXPECT_EQ(ctx.vars.text("vlineformat1"), "k-");
    EXPECT_EQ(control("ShowBox"), "3");
    EXPECT_EQ(ui.control("Morph2").value(), 0);
    EXPECT_EQ(control("FileBox1"), " ");
    EXPECT_EQ(ui.control("HomologyButton").enable(), "on");
    EXPECT_EQ(ui.control("HomologyButton").value(), 1);
}

TEST(SessionVariables, NamesAreUniqueAndUndeclaredOnesAreMistakesOfTheCode) {
    std::set<std::string_view> names;
    for (const SessionVariable& v : session_variables())
        EXPECT_TRUE(names.insert(v.name).second) << v.name;
    EXPECT_EQ(find_session_variable("ubee2g")->name, "ubee2g");
    EXPECT_EQ(find_session_variable("ubee3"), nullptr);
    EXPECT_EQ(std::string(group_variables(2).swc1), "swc1g");
    EXPECT_EQ(std::string(group_variables(1).vm2), "Vm2c");
    Session s;
    EXPECT_DEBUG_DEATH(s.set("ubee3", 1.0), "not a session variable");
}

TEST(SessionJson, ResultsInTableOrderAtFullPrecisionThenTheSeed) {
    Session s;
    s.set("data1", Matrix{{0.1, -2}, {1e300, std::nan("")}});
    s.set("homology2", 1.0);
    s.set("vlineformat1", std::string("k\"-"));
    const std::string results = session_json(s, JsonScope::results, 42);
    EXPECT_EQ(results.rfind("{\n  \"reference1\": [],\n  \"reference2\": [],", 0), 0u);
    EXPECT_NE(results.find("\n  \"data1\": [[0.10000000000000001, -2], [1.0000000000000001e+300, "
                           "null]],\n  \"data2\": [],"),
              std::string::npos);
    EXPECT_EQ(results.size() - results.rfind("\"Vm2g\""),
              std::string("\"Vm2g\": [],\n  \"activem2\": [],\n  \"homology2\": [[1]],\n  "
                          "\"seed\": 42\n}\n")
                  .size());
    EXPECT_EQ(results.find("vlineformat1"), std::string::npos);
    // Everything that holds a value, texts as strings; no seed.
    EXPECT_EQ(session_json(s, JsonScope::everything),
              "{\n  \"data1\": [[0.10000000000000001, -2], [1.0000000000000001e+300, null]],"
              "\n  \"homology2\": [[1]],\n  \"vlineformat1\": \"k\\\"-\"\n}\n");
    EXPECT_EQ(session_json(Session(), JsonScope::everything), "{\n}\n");
}

TEST_F(DispatcherTest, AnErrorEndsTheActionOnTheConsoleAndTheNextActionRuns) {
    ui.remove_control("FileBox1");  // the load fails where it writes the summary
    EXPECT_FALSE(load("LoadG1B1", write("b1.txt", "0 0 1 0 0 1 1\n1 0 2 0 1 2 1.2\n")));
    EXPECT_EQ(last_console(), "Error: There is no control with the Tag FileBox1");
    EXPECT_TRUE(run_action(ctx, "Clear&reset") == false);  // FileBox1 is still missing
    ui.add_control("FileBox1", "", 0);
    EXPECT_TRUE(run_action(ctx, "Clear&reset"));
}

TEST_F(DispatcherTest, TooManyArgumentsUnknownNamesAndEmptyVariablesAreNamed) {
    EXPECT_FALSE(Tesvane6i_callback(ctx, "Tesvanesw", {std::string("a"), std::string("b")}));
    EXPECT_EQ(last_console(), "Error: Too many input arguments to Tesvanesw");
    EXPECT_THROW(ctx.functions.call(ctx, "Tesvanesw", {std::string("Clear&reset")}, 1), Error);
    EXPECT_FALSE(Tesvane6i_callback(ctx, "nosuchfunction", {}));
    EXPECT_EQ(last_console(), "Error: Undefined function nosuchfunction");
    EXPECT_NE(error_of([&] { ctx.vars.require("ubee2"); }).find("ubee2"), std::string::npos);
    EXPECT_FALSE(ctx.vars.flag("homology2"));  // empty flags count as off
}

TEST_F(DispatcherTest, GeneratedStubCallbacksOnlyWriteTheirLine) {
    EXPECT_TRUE(is_stub_callback("edit1"));
    EXPECT_FALSE(is_stub_callback("ShowBox"));
    ASSERT_TRUE(Tesvane6i_callback(ctx, "Tesvane6i", {std::string("BaseBox2_Callback")}));
    EXPECT_EQ(last_console(), "BaseBox2 Callback not implemented yet.");
    ASSERT_TRUE(Tesvane6i_callback(ctx, "AuxBox", {std::string("pushbutton1_Callback")}));
    EXPECT_EQ(last_console(), "pushbutton1 Callback not implemented yet.");
    EXPECT_EQ(control("BaseBox2"), "2");
}

TEST_F(DispatcherTest, AxisUpAndDownStayWithinTheAxes) {
    ctx.vars.set("sbee2", Matrix::Zero(6, 4));
    ui.control("ShowBox").set_string("3");
    run_action(ctx, "AxisUp");
    EXPECT_EQ(control("ShowBox"), "4");
    run_action(ctx, "AxisUp");
    EXPECT_EQ(control("ShowBox"), "4");
    ui.control("ShowBox").set_string("1");
    run_action(ctx, "AxisDown");
    EXPECT_EQ(control("ShowBox"), "1");
    ctx.vars.clear("sbee2");
    ui.control("ShowBox").set_string("2");
    run_action(ctx, "AxisUp");  // no analysis: no axes to go up to
    EXPECT_EQ(control("ShowBox"), "2");
}

// Start-up fills RefAngleBox from refanglefile.txt when the box's text starts with "a"; without
// the file (it is optional) the box says 0 and nothing is said; a file that is there but
// cannot be read is named.
TEST_F(DispatcherTest, StartUpReadsTheAngleFileOnlyWhenAsked) {
    start();
    EXPECT_EQ(control("RefAngleBox"), "0");
    EXPECT_TRUE(ui.console_lines().empty()) << ui.console_lines().front();
    EXPECT_TRUE(ui.messages().empty());
    write("refanglefile.txt", "thirty\n");
    ui.control("RefAngleBox").set_string("auto");
    start();
    EXPECT_EQ(control("RefAngleBox"), "0");
    ASSERT_FALSE(ui.console_lines().empty());
    EXPECT_NE(ui.console_lines().back().find("refanglefile.txt"), std::string::npos);
    write("refanglefile.txt", "30\n");
    ui.control("RefAngleBox").set_string("auto");
    start();
    EXPECT_EQ(control("RefAngleBox"), "30");
    ui.control("RefAngleBox").set_string("15");
    start();
    EXPECT_EQ(control("RefAngleBox"), "15");
    // Only a regular file is read: a FIFO of that name, with no writer, would block start-up.
    std::filesystem::remove("refanglefile.txt");
    ASSERT_EQ(::mkfifo("refanglefile.txt", 0600), 0);
    ui.control("RefAngleBox").set_string("auto");
    start();
    EXPECT_EQ(control("RefAngleBox"), "0");
    std::filesystem::remove("refanglefile.txt");
}

}  // namespace
}  // namespace tesvane::test
