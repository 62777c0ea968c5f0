// Buttons running actions: loading real data, the dispatcher's fall-through, and the Figure
// menu's save and copy.
#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>

#include "figure/register_figure_commands.hpp"
#include "gui_fixture.hpp"
#include "platform/qt/plot_widget.hpp"
#include "test_paths.hpp"

namespace tesvane::test {
namespace {

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
    EXPECT_EQ(dialogs[0].kind, gui::FileDialogKind::Open);
    // The file's folder is where the next dialog starts.
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(data));
}

TEST_F(GuiTest, UnknownActionShowsFellThroughAndTheWindowStaysUsable) {
    start();
    main().press("loadg1b1", "wrong case");
    EXPECT_EQ(messages(), std::vector<std::string>{"Fell through case!  Dang"});
    for (QMessageBox* box : main().findChildren<QMessageBox*>())
        EXPECT_FALSE(box->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
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

TEST_F(FigureMenuTest, SaveFigureWritesTheTypeOfTheExtensionAndEpsWhateverTheName) {
    files = {dir.path() / "shape.svg", dir.path() / "shape", dir.path() / "picture"};
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
              3);  // no temporary left behind
    EXPECT_TRUE(messages().empty());
}

TEST_F(FigureMenuTest, SaveFigureToAnUnknownTypeSaysSoAndWritesNothing) {
    EXPECT_FALSE(ui().save_figure_to((dir.path() / "shape.xyz").string()));
    const std::vector<std::string> shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("shape.xyz"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    files = {std::nullopt};
    ui().save_figure_as();  // cancelled: nothing more happens
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(FigureMenuTest, CopyFigurePutsSvgAndAnImageOnTheClipboard) {
    ui().copy_figure_to_clipboard();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->data("image/svg+xml").contains("<svg"));
    EXPECT_TRUE(mime->hasImage());
}

TEST_F(FigureMenuTest, FigureCommandCallsItsFunctionAndAMissingOneFailsIntoTheConsole) {
    int calls = 0;
    ctx().functions.add("CountMe", 0, 0, [&](AppContext&, const Values&, int) {
        ++calls;
        return Values{};
    });
    main().add_figure_command("Count me", "CountMe")->trigger();
    EXPECT_EQ(calls, 1);
    main().add_figure_command("Missing", "NoSuchFunction")->trigger();
    EXPECT_TRUE(main().console_pane().toPlainText().contains("Error"));
    EXPECT_FALSE(ui().busy());
}

TEST_F(FigureMenuTest, PointerCommandsChangeThePlotsCursor) {
    QAction* fish = entry("spiffyfish");
    QAction* arrow = entry("boringcursor");
    ASSERT_TRUE(fish && arrow);
    fish->trigger();
    EXPECT_EQ(main().plot().cursor().shape(), Qt::BitmapCursor);
    // A wait for a click shows the crosshair, then gives the figure's pointer back.
    main().plot().set_waiting_for_click(true);
    EXPECT_EQ(main().plot().cursor().shape(), Qt::CrossCursor);
    main().plot().set_waiting_for_click(false);
    EXPECT_EQ(main().plot().cursor().shape(), Qt::BitmapCursor);
    arrow->trigger();
    EXPECT_EQ(main().plot().cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace tesvane::test
