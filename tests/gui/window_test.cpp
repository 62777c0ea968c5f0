// The windows as built from the control table: every Tag reachable, the adaptors' String,
// Value and Enable, the console, and the results window's life cycle.
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <cmath>
#include <limits>

#include "app/AuxBox.hpp"
#include "app/controls.hpp"
#include "gui_fixture.hpp"
#include "platform/qt/results_window.hpp"

namespace tesvane::test {
namespace {

TEST_F(GuiTest, EveryTagAndActionIsPlacedInTheMainWindowWithItsInitialValue) {
    for (const ControlSpec& spec : control_table()) {
        if (spec.window != "main")
            continue;
        Control* c = ui().find_control(spec.tag);
        ASSERT_NE(c, nullptr) << spec.tag;
        EXPECT_NE(main().findChild<QWidget*>(QString::fromStdString(spec.tag)), nullptr)
            << spec.tag;
        EXPECT_EQ(c->enable(), "on") << spec.tag;
        if (spec.kind == ControlKind::Check || spec.kind == ControlKind::Popup)
            EXPECT_EQ(c->value(), spec.initial_value) << spec.tag;
        else
            EXPECT_EQ(c->string(), spec.initial_string) << spec.tag;
    }
    EXPECT_EQ(ui().find_control("NoSuchTag"), nullptr);
    for (const ActionButton& a : action_buttons()) {
        QPushButton* b = main().button(a.action);
        ASSERT_NE(b, nullptr) << a.action;
        EXPECT_EQ(b->text().toStdString(), a.label);
        EXPECT_EQ(b->window(), &main()) << a.action << " is not placed in the window";
    }
}

TEST_F(GuiTest, PopupValuesMapToEntriesAndOthersLeaveTheChoiceAlone) {
    auto* plot_type = main().findChild<QComboBox*>("ReqAxisBox");
    Control& popup = ui().control("ReqAxisBox");
    popup.set_value(3);
    EXPECT_EQ(plot_type->currentIndex(), 2);
    EXPECT_EQ(popup.string(), plot_type_names()[2]);
    for (double bad : {0.0, 2.5, 1e300, static_cast<double>(plot_type_names().size() + 1),
                       std::numeric_limits<double>::quiet_NaN()}) {
        popup.set_value(bad);
        EXPECT_EQ(popup.value(), 3) << bad;
    }
    plot_type->setCurrentIndex(4);  // as the user would
    EXPECT_EQ(popup.value(), 5);
    // Summaries keep their line breaks and blanks exactly.
    const std::string summary = "Block2-LM \nFile: a b.txt \n  20 Specimens \n   5 Landmarks";
    ui().control("FileBox2").set_string(summary);
    EXPECT_EQ(string_of("FileBox2"), summary);
}

TEST_F(GuiTest, EnableOffInAnyCaseDisablesTheWidgetUntilClearAndReset) {
    Control& homology = ui().control("HomologyButton");
    auto* box = main().findChild<QCheckBox*>("HomologyButton");
    homology.set_enable("Off");
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(homology.enable(), "off");
    homology.set_enable("on");
    EXPECT_TRUE(box->isEnabled());
    homology.set_enable("OFF");
    EXPECT_FALSE(box->isEnabled());
    homology.set_value(0);
    main().button("Clear&reset")->click();  // back on, ticked
    EXPECT_TRUE(box->isEnabled());
    EXPECT_EQ(homology.value(), 1);
}

TEST_F(GuiTest, ConsoleShowsErrorLinesInTheirOwnColour) {
    ui().console("Display rotation 0 degrees");
    ui().console("Error: the file cannot be read");
    ui().console("multi\nline");
    const QTextDocument* doc = main().console_pane().document();
    ASSERT_EQ(doc->blockCount(), 4);
    const auto colour = [&](int block) {
        return doc->findBlockByNumber(block).begin().fragment().charFormat().foreground().color();
    };
    EXPECT_NE(colour(0), colour(1));
    EXPECT_EQ(colour(0), colour(2));
}

TEST_F(GuiTest, ClosedResultsWindowComesBackWhenAReportArrives) {
    EXPECT_EQ(ui().find_control("AuxResults"), nullptr);  // not open before start-up
    start();
    EXPECT_TRUE(main().isVisible());
    EXPECT_NE(string_of("RefAngleBox"), "auto");  // start-up fills the rotation
    ui().control("AuxResults").set_string("old report");
    ui().results_window().close();
    EXPECT_EQ(ui().find_control("AuxResults"), nullptr);
    ui().open_results_window();
    EXPECT_TRUE(ui().results_window().isVisible());
    EXPECT_EQ(string_of("AuxResults"), "");  // a fresh window
    ui().results_window().close();
    show_report(ctx(), "Angle 1\n  12.5\n");
    EXPECT_TRUE(ui().results_window().isVisible());
    ui().open_results_window();  // an open window is reused with its report
    EXPECT_EQ(string_of("AuxResults"), "Angle 1\n  12.5\n");
}

TEST_F(GuiTest, ResultsSaveButtonAppendsTheReport) {
    start();
    TempDir dir;
    const auto file = dir.path() / "report.txt";
    ui().control("AuxResults").set_string("line 1\nline 2");
    files = {file, file};
    ui().results_window().save_button().click();
    ui().results_window().save_button().click();
    EXPECT_EQ(read_all(file), "line 1\nline 2 \nline 1\nline 2 \n");
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].kind, gui::FileDialogKind::Save);
}

}  // namespace
}  // namespace tesvane::test
