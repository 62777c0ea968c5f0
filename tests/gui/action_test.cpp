// Buttons running actions: loading real data, the dispatcher's fall-through, failures that
// must leave the windows usable, and the Figure menu's save and copy.
#include <QAction>
#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <fstream>
#include <iterator>

#include "figure/register_figure_commands.hpp"
#include "gui_fixture.hpp"
#include "platform/qt/plot_widget.hpp"
#include "test_paths.hpp"

namespace tesvane::test {
namespace {

std::string read_all(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
    EXPECT_EQ(dialogs[0].kind, gui::FileDialogKind::Open);
    // The file's folder is where the next dialog starts.
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(data));
}

TEST_F(GuiTest, CancelledLoadChangesNothingAndOpensNoDialog) {
    start();
    files = {std::nullopt};
    main().button("LoadG2B1")->click();
    EXPECT_EQ(string_of("FileBox3"), " ");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(ui().busy());
}

TEST_F(GuiTest, UnknownActionShowsFellThroughAndTheWindowStaysUsable) {
    start();
    main().press("loadg1b1", "wrong case");
    EXPECT_EQ(messages(), std::vector<std::string>{"Fell through case!  Dang"});
    for (QMessageBox* box : main().findChildren<QMessageBox*>())
        EXPECT_FALSE(box->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(dialogs.empty());  // nothing was loaded

    // The next action runs normally.
    ui().control("ShowBox").set_string("4");
    main().button("AxisDown")->click();
    EXPECT_EQ(string_of("ShowBox"), "3");
}

TEST_F(GuiTest, FailingSaveBeforeAnyAnalysisLeavesNoModalDialog) {
    start();
    TempDir dir;
    files = {dir.path() / "axis.txt"};
    main().button("SaveSVDB1G1")->click();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "axis.txt"));
    EXPECT_FALSE(ui().busy());
    // The failure was reported somewhere the user sees it.
    const QString console = main().console_pane().toPlainText();
    EXPECT_TRUE(!messages().empty() || console.contains("Error")) << console.toStdString();
}

TEST_F(GuiTest, SaveFigureWritesTheTypeOfTheExtension) {
    start();
    ui().figure().axes().plot({0, 1, 2}, {0, 1, 0}, "k-");
    TempDir dir;
    files = {dir.path() / "shape.svg", dir.path() / "shape"};
    ui().save_figure_as();
    EXPECT_NE(read_all(dir.path() / "shape.svg").find("<svg"), std::string::npos);
    ui().save_figure_as();  // no extension: a PNG
    EXPECT_EQ(read_all(dir.path() / "shape.png").substr(1, 3), "PNG");
    EXPECT_TRUE(messages().empty());
}

TEST_F(GuiTest, SaveFigureToAnUnknownTypeSaysSoAndWritesNothing) {
    start();
    TempDir dir;
    EXPECT_FALSE(ui().save_figure_to((dir.path() / "shape.xyz").string()));
    const std::vector<std::string> shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("shape.xyz"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    files = {std::nullopt};
    ui().save_figure_as();  // cancelled: nothing more happens
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(GuiTest, CopyFigurePutsSvgAndAnImageOnTheClipboard) {
    start();
    ui().figure().axes().plot({0, 1}, {0, 1}, "ro");
    ui().copy_figure_to_clipboard();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasFormat("image/svg+xml"));
    EXPECT_TRUE(mime->data("image/svg+xml").contains("<svg"));
    EXPECT_TRUE(mime->hasImage());
}

TEST_F(GuiTest, FigureCommandCallsItsRegisteredFunction) {
    start();
    int calls = 0;
    ctx().functions.add("CountMe", 0, 0, [&](AppContext&, const Values&, int) {
        ++calls;
        return Values{};
    });
    QAction* entry = main().add_figure_command("Count me", "CountMe");
    entry->trigger();
    EXPECT_EQ(calls, 1);
    // A command that is not registered fails into the console, not out of the window.
    main().add_figure_command("Missing", "NoSuchFunction")->trigger();
    EXPECT_TRUE(main().console_pane().toPlainText().contains("Error"));
    EXPECT_FALSE(ui().busy());
}

// The Figure menu entry of a registered figure command, by the function it calls.
QAction* menu_entry(gui::MainWindow& main, const std::string& function) {
    for (const FigureMenuEntry& e : figure_menu_entries())
        if (e.function == function)
            for (QAction* a : main.findChildren<QAction*>())
                if (a->text() == QString::fromUtf8(e.label))
                    return a;
    return nullptr;
}

TEST_F(GuiTest, EpsMenuEntryWritesPostScriptWhateverTheNameEndsWith) {
    start();
    ui().figure().axes().plot({0, 1, 2}, {1, 0, 1}, "ko");
    TempDir dir;
    files = {dir.path() / "picture"};
    QAction* eps = menu_entry(main(), "CopyImageEPS");
    ASSERT_NE(eps, nullptr);
    eps->trigger();
    EXPECT_EQ(read_all(dir.path() / "picture").substr(0, 4), "%!PS");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);  // no temporary left behind
}

TEST_F(GuiTest, PointerCommandsChangeThePlotsCursor) {
    start();
    QAction* fish = menu_entry(main(), "spiffyfish");
    QAction* arrow = menu_entry(main(), "boringcursor");
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
