// The windows as built from the control table: every Tag reachable, the adaptors' String,
// Value and Enable, the results window's life cycle; buttons loading real data, the dispatcher's
// fall-through, and the Figure menu's save, copy and pointers.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cmath>
#include <limits>

#include "app/AuxBox.hpp"
#include "app/controls.hpp"
#include "figure/register_figure_commands.hpp"
#include "gui_fixture.hpp"
#include "platform/qt/plot_widget.hpp"
#include "platform/qt/results_window.hpp"
#include "test_paths.hpp"

namespace tesvane::test {
namespace {

TEST_F(GuiTest, EveryTagAndActionIsPlacedInTheMainWindowWithItsInitialValue) {
    for (const ControlSpec& row : control_table()) {
        if (row.window != "main")
            continue;
        Control* c = ui().find_control(row.tag);
        ASSERT_NE(c, nullptr) << row.tag;
        EXPECT_NE(main().findChild<QWidget*>(QString::fromStdString(row.tag)), nullptr) << row.tag;
        EXPECT_EQ(c->enable(), "on") << row.tag;
        if (row.kind == ControlKind::Check || row.kind == ControlKind::Popup)
            EXPECT_EQ(c->value(), row.initial_value) << row.tag;
        else
            EXPECT_EQ(c->string(), row.initial_string) << row.tag;
    }
    EXPECT_EQ(ui().find_control("NoSuchTag"), nullptr);
    for (const ActionButton& a : action_buttons()) {
        QPushButton* b = main().button(a.action);
        ASSERT_NE(b, nullptr) << a.action;
        EXPECT_EQ(b->text().toStdString(), a.label);
        EXPECT_EQ(b->window(), &main()) << a.action << " is not placed in the window";
    }
}

TEST_F(GuiTest, AdaptorsOfPopupsTextAndEnable) {
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
    // Enable "off" in any case disables the widget until Clear and reset.
    Control& homology = ui().control("HomologyButton");
    auto* box = main().findChild<QCheckBox*>("HomologyButton");
    homology.set_enable("OFF");
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(homology.enable(), "off");
    homology.set_value(0);
    main().button("Clear&reset")->click();  // back on, ticked
    EXPECT_TRUE(box->isEnabled());
    EXPECT_EQ(homology.value(), 1);
}

TEST_F(GuiTest, ClosedResultsWindowComesBackWhenAReportArrivesAndSavesByAppending) {
    EXPECT_EQ(ui().find_control("AuxResults"), nullptr);  // not open before start-up
    start();
    EXPECT_TRUE(main().isVisible());
    EXPECT_NE(string_of("RefAngleBox"), "auto");  // start-up fills the rotation
    ui().control("AuxResults").set_string("old report");
    ui().results_window().close();
    EXPECT_EQ(ui().find_control("AuxResults"), nullptr);
    show_report(ctx(), "Angle 1\n  12.5\n");
    EXPECT_TRUE(ui().results_window().isVisible());
    ui().open_results_window();  // an open window is reused with its report, not a fresh one
    EXPECT_EQ(string_of("AuxResults"), "Angle 1\n  12.5\n");
    // Its Save button appends the report.
    TempDir dir;
    const auto file = dir.path() / "report.txt";
    ui().control("AuxResults").set_string("line 1\nline 2");
    files = {file, file};
    ui().results_window().save_button().click();
    ui().results_window().save_button().click();
    EXPECT_EQ(read_all(file), "line 1\nline 2 \nline 1\nline 2 \n");
    EXPECT_EQ(dialogs.size(), 2u);
}

TEST_F(GuiTest, LoadButtonSummarisesAndPlotsARealFile) {
    const std::filesystem::path data = dataset("plethodon");
    if (data.empty())
        GTEST_SKIP() << "the plethodon dataset is not here";
    start();
    files = {data / "Jord_b1.txt"};
    main().button("LoadG1B1")->click();
    EXPECT_EQ(string_of("FileBox1"), "File: Jord_b1.txt \n  20 Specimens \n   7 Landmarks");
    EXPECT_FALSE(ui().figure().axes().children().empty());
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0], gui::FileDialogKind::Open);
    // The file's folder is where the next dialog starts.
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(data));
}

TEST_F(GuiTest, UnknownActionShowsFellThroughAndTheWindowStaysUsable) {
    start();
    main().press("loadg1b1", "wrong case");
    EXPECT_EQ(messages(), std::vector<std::string>{"Fell through case!  Dang"});
    EXPECT_TRUE(dialogs.empty());  // nothing was loaded
    ui().control("ShowBox").set_string("4");
    main().button("AxisDown")->click();  // the next action runs normally
    EXPECT_EQ(string_of("ShowBox"), "3");
}

class FigureMenuTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
        ui().figure().axes().plot({0, 1, 2}, {0, 1, 0}, "k-");
    }
    // The Figure menu entry of a registered figure command, by the function it calls.
    QAction* entry(const std::string& function) {
        for (const FigureMenuEntry& e : figure_menu_entries())
            if (e.function == function)
                return action_named(QString::fromUtf8(e.label));
        return nullptr;
    }
    TempDir dir;
};

TEST_F(FigureMenuTest, SaveFigureWritesTheTypeOfTheExtensionEpsWhateverTheNameOrSaysWhyNot) {
    EXPECT_FALSE(ui().save_figure_to((dir.path() / "shape.xyz").string()));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].find("shape.xyz"), std::string::npos);
    files = {std::nullopt, dir.path() / "shape.svg", dir.path() / "shape", dir.path() / "picture"};
    ui().save_figure_as();  // cancelled: nothing more happens
    ui().save_figure_as();
    EXPECT_NE(read_all(dir.path() / "shape.svg").find("<svg"), std::string::npos);
    ui().save_figure_as();  // no extension: a PNG
    EXPECT_EQ(read_all(dir.path() / "shape.png").substr(1, 3), "PNG");
    QAction* eps = entry("CopyImageEPS");
    ASSERT_NE(eps, nullptr);
    eps->trigger();
    EXPECT_EQ(read_all(dir.path() / "picture").substr(0, 4), "%!PS");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              3);  // nothing of the unknown type, no temporary left behind
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(FigureMenuTest, CommandsCallTheirFunctionsCopyAndSetThePointer) {
    int calls = 0;
    ctx().functions.add("CountMe", 0, 0, [&](AppContext&, const Values&, int) {
        ++calls;
        return Values{};
    });
    main().add_figure_command("Count me", "CountMe")->trigger();
    EXPECT_EQ(calls, 1);
    main().add_figure_command("Missing", "NoSuchFunction")->trigger();  // fails into the console
    EXPECT_TRUE(main().console_pane().toPlainText().contains("Error"));
    EXPECT_FALSE(ui().busy());
    ui().copy_figure_to_clipboard();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->data("image/svg+xml").contains("<svg"));
    EXPECT_TRUE(mime->hasImage());
    ASSERT_TRUE(entry("spiffyfish") && entry("boringcursor"));
    entry("spiffyfish")->trigger();
    // A wait for a click shows the crosshair, then gives the figure's pointer back.
    main().plot().set_waiting_for_click(true);
    EXPECT_EQ(main().plot().cursor().shape(), Qt::CrossCursor);
    main().plot().set_waiting_for_click(false);
    EXPECT_EQ(main().plot().cursor().shape(), Qt::BitmapCursor);
    entry("boringcursor")->trigger();
    EXPECT_EQ(main().plot().cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace tesvane::test
