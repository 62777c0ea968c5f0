// What the user reads: a tooltip on every control and button, the plot and deformation types
// listed from the tables, messages that name groups, blocks and axes instead of session
// variables, and the files a script would write.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/controls.hpp"
#include "app/script_runner.hpp"
#include "app_fixture.hpp"
#include "platform/plain_words.hpp"

namespace tesvane::test {
namespace {

// One sentence: starts with a capital, ends with a full stop, has no other sentence end.
void expect_one_sentence(const std::string& tip, const std::string& who) {
    ASSERT_FALSE(tip.empty()) << who << " has no tooltip";
    EXPECT_TRUE(std::isupper(static_cast<unsigned char>(tip[0]))) << who << ": " << tip;
    EXPECT_EQ(tip.back(), '.') << who << ": " << tip;
    EXPECT_EQ(tip.find(". "), std::string::npos) << who << ": " << tip;
    EXPECT_LT(tip.size(), 200u) << who << ": " << tip;
}

TEST(ControlTable, EveryControlAndButtonHasAOneSentenceTooltip) {
    for (const ControlSpec& c : control_table())
        expect_one_sentence(c.tooltip, c.tag);
    for (const ActionButton& b : action_buttons())
        expect_one_sentence(b.tooltip, b.action);
}

TEST(ControlTable, NumberBoxesSayTheirRangeOrUnit) {
    for (const ControlSpec& c : control_table()) {
        if (c.kind != ControlKind::Edit)
            continue;
        const std::string& t = c.tooltip;
        const bool range = t.find("number") != std::string::npos ||
                           t.find("degrees") != std::string::npos ||
                           std::any_of(t.begin(), t.end(), ::isdigit);
        EXPECT_TRUE(range) << c.tag << ": " << t;
    }
}

TEST(ControlTable, TheTypesTextNumbersEveryPlotAndDeformationType) {
    const std::string text = plot_types_text();
    const auto& plots = plot_type_names();
    for (size_t i = 0; i < plots.size(); ++i)
        EXPECT_NE(text.find(std::to_string(i + 1) + "  " + plots[i] + "\n"), std::string::npos)
            << plots[i];
    const auto& defs = deformation_type_names();
    for (size_t i = 0; i < defs.size(); ++i)
        EXPECT_NE(text.find(std::to_string(i + 1) + "  " + defs[i] + "\n"), std::string::npos)
            << defs[i];
}

TEST(PlainWords, EmptyVariablesSayWhatToDo) {
    const struct {
        const char *name, *says;
    } cases[] = {
        {"ubee2", "Run the analysis first: there are no PLS axes yet"},
        {"sbee2g", "Run the analysis first: there are no PLS axes yet"},
        {"Vm1c", "Run the analysis first: there are no principal axes yet"},
        {"data2g", "Load block 2, group 2 first: it is not loaded yet"},
        {"data1", "Load block 1, group 1 first: it is not loaded yet"},
        {"templatea", "Load the templates first: there are none yet"},
        {"reference1", "Load block 1 of group 1 first: there is no reference form yet"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(empty_variable_message(c.name), c.says) << c.name;
    EXPECT_EQ(variable_description("vbee2g"), "the PLS axes of block 2, group 2");
    EXPECT_EQ(variable_description("Vm2c"), "the principal axes of block 2, group 1");
    EXPECT_EQ(sentence_start("group 2"), "Group 2");
}

using PlainMessagesTest = AppTest;

TEST_F(PlainMessagesTest, AnEmptyVariableIsNamedInTheUsersTerms) {
    EXPECT_FALSE(run_action(ctx, "ShowAxis"));
    EXPECT_EQ(ui.console_lines().back(),
              "Error: Run the analysis first: there are no PLS axes yet (session variable ubee2)");
}

TEST_F(PlainMessagesTest, AGroupsBlocksOfDifferentSizesAreNamedWithTheirSpecimenCounts) {
    // Block 2 of group 1 with 5 specimens against 7 in its block 1, and a different number of
    // landmarks from group 2's block 2, so the blocks 2 cannot be pooled either.
    const std::string b1 =
        "0 0 1 0 0 1 1\n0 0 1.1 0 0 1 1\n0 0 1 0.1 0 1 1\n0 0 1 0 0.1 1 1\n"
        "0 0 1.2 0 0 1 1\n0.1 0 1 0 0 1 1\n0 0.1 1 0 0 1 1\n";
    const std::string b2_three = b1;
    std::string b2_four;
    for (int i = 0; i < 5; ++i)
        b2_four += "0 0 1 0 1 1 0 1." + std::to_string(i) + " 1\n";
    ASSERT_TRUE(load("LoadG1B1", write("a1.txt", b1)));
    ASSERT_TRUE(load("LoadG1B2", write("a2.txt", b2_four)));
    ASSERT_TRUE(load("LoadG2B1", write("b1.txt", b1)));
    ASSERT_TRUE(load("LoadG2B2", write("b2.txt", b2_three)));
    run_action(ctx, "DoSVD2");
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0], "The samples sizes do not match, shape and shape");
    ASSERT_FALSE(ui.notes().empty());
    // Group 1 is named after its block-1 file.
    EXPECT_EQ(ui.notes().back().rfind("A1's block 2 has 5 specimens but its block 1 has 7", 0), 0u)
        << ui.notes().back();
}

TEST_F(PlainMessagesTest, TheFilesAScriptWouldWriteAreListedFromItsFolder) {
    const std::filesystem::path script =
        write("s.tvs",
              "answer file a.txt\naction LoadG1B1\n"
              "answer file axis.txt\naction SaveSVDB1G1\n"
              "answer file /tmp/report.txt\ncall AuxBoxsw\n"
              "answer cancel\naction SaveRef1\n"
              "savefig \"my picture.svg\"\nsession vars.json\ncall writecsv out.csv $data1\n");
    const std::vector<std::string> files = script_writes(script.string());
    const std::filesystem::path d = std::filesystem::absolute(script).parent_path();
    const std::vector<std::string> expected = {
        (d / "axis.txt").string(), "/tmp/report.txt", (d / "my picture.svg").string(),
        (d / "vars.json").string(), (d / "out.csv").string()};
    EXPECT_EQ(files, expected);
    EXPECT_TRUE(script_writes((dir / "missing.tvs").string()).empty());
}

TEST_F(PlainMessagesTest, ScriptOutputIsQuietOrVerboseAsAsked) {
    const std::filesystem::path data = examples_dir();
    const std::filesystem::path script =
        write("s.tvs", "answer file " + (data / "groupA_b1.txt").string() +
                           "\naction LoadG1B1\naction loadg1b1\naction DoSVD2\n");
    const auto run = [&](ScriptOutput o) {
        std::ostringstream out, err;
        EXPECT_EQ(run_script(script.string(), out, err, nullptr, o), 1);
        return err.str();
    };
    const std::string normal = run({});
    EXPECT_NE(normal.find("[message] Fell through case!  Dang"), std::string::npos) << normal;
    EXPECT_NE(normal.find("Error: Load block 1, group 2 first"), std::string::npos) << normal;
    EXPECT_NE(normal.find("line 4: action DoSVD2 failed"), std::string::npos) << normal;
    const std::string quiet = run({true, false, false});
    EXPECT_EQ(quiet.find("[message]"), std::string::npos) << quiet;
    EXPECT_NE(quiet.find("line 4: action DoSVD2 failed"), std::string::npos) << quiet;
    const std::string verbose = run({false, true, false});
    EXPECT_GT(verbose.size(), normal.size());
}

}  // namespace
}  // namespace tesvane::test
