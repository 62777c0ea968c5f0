// The windows as built from the control table: every Tag reachable, the adaptors' String,
// Value and Enable, the results window's life cycle; buttons loading real data, the dispatcher's
// fall-through, and the Figure menu's save, copy and pointers. Recorded sessions: what the user
// types, ticks, picks and presses is saved from the File menu as a script that `tesvane script`
// replays to the same report, and a script is replayed back into the windows.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "app/AuxBox.hpp"
#include "app/controls.hpp"
#include "app/script_runner.hpp"
#include "figure/register_figure_commands.hpp"
#include "gui_fixture.hpp"
#include "platform/qt/plot_widget.hpp"
#include "platform/qt/results_window.hpp"
#include "platform/qt/session_files.hpp"
#include "platform/render/figure_export.hpp"
#include "platform/render/figure_renderer.hpp"
#include "test_paths.hpp"

namespace tesvane::test {
namespace {

namespace fs = std::filesystem;

TEST_F(GuiTest, EveryTagAndActionIsPlacedInTheMainWindowWithItsInitialValueAndTooltip) {
    for (const ControlSpec& row : control_table()) {
        if (row.window != "main")
            continue;
        Control* c = ui().find_control(row.tag);
        ASSERT_NE(c, nullptr) << row.tag;
        auto* w = main().findChild<QWidget*>(QString::fromStdString(row.tag));
        ASSERT_NE(w, nullptr) << row.tag;
        EXPECT_EQ(w->toolTip().toStdString(), row.tooltip) << row.tag;
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
        EXPECT_EQ(b->window(), &main()) << a.action << " is not placed in the window";
        EXPECT_EQ(b->toolTip().toStdString(), a.tooltip) << a.action;
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
    EXPECT_NE(string_of("RefAngleBox"), "auto");  // start-up fills the rotation
    ui().results_window().close();
    EXPECT_EQ(ui().find_control("AuxResults"), nullptr);
    show_report(ctx(), "Angle 1\n  12.5\n");
    EXPECT_TRUE(ui().results_window().isVisible());
    ui().open_results_window();  // an open window is reused with its report, not a fresh one
    EXPECT_EQ(string_of("AuxResults"), "Angle 1\n  12.5\n");
    // Its Save button appends the report.
    TempDir dir;
    ui().control("AuxResults").set_string("line 1\nline 2");
    files = {dir.path() / "report.txt", dir.path() / "report.txt"};
    ui().results_window().save_button().click();
    ui().results_window().save_button().click();
    EXPECT_EQ(read_file(dir.path() / "report.txt"), "line 1\nline 2 \nline 1\nline 2 \n");
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
    EXPECT_NE(read_file(dir.path() / "shape.svg").find("<svg"), std::string::npos);
    ui().save_figure_as();  // no extension: a PNG
    EXPECT_EQ(read_file(dir.path() / "shape.png").substr(1, 3), "PNG");
    // Both saves are steps of the recorded session; the failed one is not.
    const std::string text = ui().recorder().script((dir.path() / "s.tvs").string());
    EXPECT_NE(text.find("\nsavefig shape.svg 85x85mm 300\nsavefig shape.png 85x85mm 300\n"),
              std::string::npos)
        << text;
    ASSERT_NE(entry("CopyImageEPS"), nullptr);
    entry("CopyImageEPS")->trigger();
    EXPECT_EQ(read_file(dir.path() / "picture").substr(0, 4), "%!PS");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              3);  // nothing of the unknown type, no temporary left behind
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(FigureMenuTest, TheFigureTakesThePlotsSizeInItsOwnUnits) {
    main().resize(1100, 760);
    QApplication::processEvents();
    const QSize px = main().plot().size();
    const fig::Position& p = ui().figure().position;
    EXPECT_EQ(p[2], px.width());
    EXPECT_EQ(p[3], px.height());
    ui().figure().units = "inches";
    main().resize(900, 640);
    QApplication::processEvents();
    ASSERT_NE(main().plot().size(), px);
    EXPECT_DOUBLE_EQ(p[2] * 72, main().plot().width());
    EXPECT_DOUBLE_EQ(p[3] * 72, main().plot().height());
    const fig::Position before = p;
    ui().figure().units = "normalized";  // no size of its own: the figure keeps the last one
    main().resize(1000, 700);
    QApplication::processEvents();
    EXPECT_EQ(p, before);
}

TEST_F(FigureMenuTest, CommandsCallTheirFunctionsCopyAndSetThePointer) {
    int calls = 0;
    ctx().functions.add("CountMe", {}, 0, [&](AppContext&, const Values&, int) {
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

class SessionTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
    }
    const fs::path data = examples_dir();
    TempDir dir;
};

TEST_F(SessionTest, ReportAndScoresFromTheWindows) {
    load_examples();  // each button summarises and plots its file; the folder is the next start
    EXPECT_EQ(string_of("FileBox4"),
              "Block2-LM \nFile: groupB_b2.txt \n  25 Specimens \n   6 Landmarks");
    EXPECT_FALSE(ui().figure().axes().children().empty());
    EXPECT_EQ(dialogs, std::vector<gui::FileDialogKind>(4, gui::FileDialogKind::Open));
    EXPECT_EQ(fs::current_path(), fs::canonical(data));
    main().button("DoSVD2")->click();
    main().findChild<QComboBox*>("ReqAxisBox")->setCurrentIndex(8);
    files = {dir.path() / "scores.csv", dir.path() / "report.html"};
    main().button("SaveScores")->click();
    ASSERT_NE(action_named("&Export report…"), nullptr);
    action_named("&Export report…")->trigger();
    EXPECT_TRUE(messages().empty()) << messages()[0];
    const std::string html = read_file(dir.path() / "report.html");
    size_t figures = 0;
    for (size_t at = html.find("<svg"); at != std::string::npos; at = html.find("<svg", at + 1))
        ++figures;
    EXPECT_EQ(figures, 5u);
    EXPECT_NE(html.find("Recorded session"), std::string::npos);
    EXPECT_NE(html.find("action DoSVD2"), std::string::npos);
    EXPECT_EQ(ui().control("ReqAxisBox").value(), 9);  // the user's plot type is kept
    const std::string csv = read_file(dir.path() / "scores.csv");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 30 + 25);
}

// What the user did in the windows, saved as a session, replays headless to the same report and
// files; a figure exported at a size is the same picture, labels and size whatever the window's
// size.
TEST_F(SessionTest, SavedSessionReplaysHeadlessToTheSameReportAndFiles) {
    main().findChild<QCheckBox*>("HomologyButton")->click();  // ticked at start: now not
    files = {data / "groupA_b1.txt", data / "groupA_b2.txt", std::nullopt, data / "groupB_b1.txt",
             data / "groupB_b2.txt"};
    for (const char* action : {"LoadG1B1", "LoadG1B2", "LoadG2B1", "LoadG2B1", "LoadG2B2"})
        main().button(action)->click();
    main().button("DoSVD2")->click();
    auto* show_box = main().findChild<QLineEdit*>("ShowBox");  // typed as the user would
    show_box->selectAll();
    QTest::keyClicks(show_box, "2");
    main().findChild<QComboBox*>("ReqAxisBox")->setCurrentIndex(4);
    files = {dir.path() / "axis.txt"};
    main().button("SaveSVDB2G1")->click();
    const std::string report = string_of("AuxResults");
    ASSERT_NE(report.find("Angle"), std::string::npos) << report;
    const std::string axis = read_file(dir.path() / "axis.txt");
    ASSERT_FALSE(axis.empty());
    main().findChild<QComboBox*>("ReqAxisBox")->setCurrentIndex(24);  // the score plot
    main().findChild<QLineEdit*>("GroupName1")->setText("Jord");
    main().button("ShowAxis")->click();
    main().resize(1000, 700);
    ui().figure().export_size = fig::parse_export_size("85x70mm", 600);
    const fs::path shown = dir.path() / "shown.svg";
    ASSERT_TRUE(ui().save_figure_to(shown.string()));
    EXPECT_EQ(ui().figure().axes().legend[0].label.rfind("Jord (r = ", 0), 0u);

    files = {dir.path() / "session"};
    ASSERT_NE(action_named("Save &session…"), nullptr);
    action_named("Save &session…")->trigger();
    const fs::path script = dir.path() / "session.tvs";
    const std::string text = read_file(script);
    // The rest shows in the replay; a cancel must be recorded as one.
    EXPECT_NE(text.find("answer cancel\naction LoadG2B1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("savefig shown.svg 85x70mm 600\n"), std::string::npos) << text;
    EXPECT_EQ(dialogs.back(), gui::FileDialogKind::Save);

    fs::remove(dir.path() / "axis.txt");
    const fs::path first = dir.path() / "first.svg";
    fs::rename(shown, first);
    std::ofstream(script, std::ios::app) << "print AuxResults\n";
    std::ostringstream out, err;
    const FigureSaver saver = [](const fig::Figure& f, const std::string& path) {
        render::save_figure(f, path);
    };
    ASSERT_EQ(run_script(script.string(), out, err, saver), 0) << err.str();
    EXPECT_EQ(out.str(), report + "\n");
    EXPECT_EQ(read_file(dir.path() / "axis.txt"), axis);
    EXPECT_EQ(read_file(shown), read_file(first));
    EXPECT_NE(read_file(first).find("viewBox=\"0 0 240.945 198.425\""), std::string::npos);
}

TEST_F(SessionTest, OpenSessionReplaysInTheWindowsWithoutAskingAnything) {
    const fs::path script = dir.path() / "load.tvs";
    std::ofstream(script) << "set BootBox String 20\nanswer file " << (data / "groupA_b1.txt")
                          << "\naction LoadG1B1\nprint FileBox1\n";
    files = {script};
    ASSERT_NE(action_named("&Open session…"), nullptr);
    action_named("&Open session…")->trigger();
    EXPECT_EQ(dialogs.size(), 1u);  // the script's own; the load was answered by the script
    EXPECT_EQ(string_of("BootBox"), "20");
    EXPECT_EQ(string_of("FileBox1"), "File: groupA_b1.txt \n  30 Specimens \n   8 Landmarks");
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(ui().busy());
    // What was replayed is part of the session the user goes on with.
    const std::string text = ui().recorder().script((dir.path() / "again.tvs").string());
    EXPECT_NE(text.find("set BootBox String 20\nanswer file "), std::string::npos) << text;
    EXPECT_NE(text.find("action LoadG1B1\n"), std::string::npos);
}

TEST_F(SessionTest, FailedReplayIsAMessageNamingTheLines) {
    const fs::path script = dir.path() / "broken.tvs";
    std::ofstream(script) << "action DoSVD2\naction LoadG1B1\n";  // no answer for the load
    EXPECT_EQ(gui::replay_session(ui(), ctx(), script.string()), 1);
    const std::vector<std::string> shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("broken.tvs, line 1: action DoSVD2 failed"), std::string::npos);
    EXPECT_NE(shown[0].find("broken.tvs, line 2: action LoadG1B1 failed"), std::string::npos);
    EXPECT_TRUE(dialogs.empty());  // no real dialog stood in for the missing answer
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    std::ofstream(script) << "set ShowBox Colour 3\n";
    EXPECT_EQ(gui::replay_session(ui(), ctx(), script.string()), 2);
    EXPECT_NE(messages().back().find("line 1: unknown property Colour"), std::string::npos);
    // A session that cannot be written says so.
    files = {dir.path() / "no such folder" / "s.tvs"};
    action_named("Save &session…")->trigger();
    EXPECT_NE(messages().back().find("The session was not saved"), std::string::npos);
}

}  // namespace
}  // namespace tesvane::test
