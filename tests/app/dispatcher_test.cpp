// The dispatcher, the callable table, Clear&reset and the start-up.
#include <gtest/gtest.h>

#include "app/Tesvanesw.hpp"
#include "app_fixture.hpp"
#include "platform/error.hpp"

namespace tesvane::test {
namespace {

using DispatcherTest = AppTest;

TEST_F(DispatcherTest, UnknownOrMiscasedActionFallsThroughAndChangesNothing) {
    ASSERT_TRUE(run_action(ctx, "loadg1b1"));
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
    const auto forgotten = {"data1", "pw1", "ubee2", "sbee2", "scor2g", "reference2g", "activem2"};
    const auto kept = {"Vm1c", "Vm2g", "templatea", "clist4b", "vplotdensity", "defangle"};
    for (const char* v : forgotten)
        ctx.vars.set(v, 1.0);
    for (const char* v : kept)
        ctx.vars.set(v, 2.0);
    ctx.vars.set("vlineformat1", std::string("k-"));
    ui.control("ShowBox").set_string("3");
    ui.control("Morph2").set_value(0);

    ASSERT_TRUE(run_action(ctx, "Clear&reset"));
    for (const char* v : forgotten)
        EXPECT_TRUE(ctx.vars.empty(v)) << v;
    for (const char* v : kept)
        EXPECT_EQ(ctx.vars.scalar(v), 2.0) << v;
    EXPECT_EQ(ctx.vars.text("vlineformat1"), "k-");
    EXPECT_EQ(control("ShowBox"), "3");
    EXPECT_EQ(ui.control("Morph2").value(), 0);
    EXPECT_EQ(control("FileBox1"), " ");
    EXPECT_EQ(ui.control("HomologyButton").enable(), "on");
    EXPECT_EQ(ui.control("HomologyButton").value(), 1);
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
    try {
        ctx.vars.require("ubee2");
        ADD_FAILURE() << "no error for an empty variable";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("ubee2"), std::string::npos);
    }
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
}

}  // namespace
}  // namespace tesvane::test
