// The windows for a working researcher: messages apart from diagnostics, Clear and reset asking
// first, Axis up/down redrawing, data files dropped on the summary boxes, the status bar after a
// cancel, and the Help menu.
#include <QDockWidget>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "app/controls.hpp"
#include "gui_fixture.hpp"
#include "platform/qt/help_menu.hpp"
#include "platform/qt/plot_widget.hpp"
#include "platform/qt/recent_files.hpp"
#include "test_paths.hpp"

namespace tesvane::test {
namespace {

namespace fs = std::filesystem;

class ComfortTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
    }
    // Drops `file` on the widget as a file manager would.
    void drop(QWidget& target, const fs::path& file) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &dropped);
    }
    const fs::path data = examples_dir();
};

TEST_F(ComfortTest, MessagesShowWhatTheStepsSayAndDiagnosticsWaitInTheirHiddenView) {
    EXPECT_FALSE(main().diagnostics_view().isVisible());
    // Nothing is said at start-up: the angle file is optional.
    EXPECT_TRUE(main().console_pane().toPlainText().isEmpty())
        << main().console_pane().toPlainText().toStdString();
    load_examples();
    main().button("DoSVD2")->click();
    main().button("ShowAxis")->click();
    const QString messages = main().console_pane().toPlainText();
    EXPECT_FALSE(messages.contains("ubee2")) << messages.toStdString();
    main().press("loadg1b1", "wrong case");
    EXPECT_TRUE(main().console_pane().toPlainText().contains("Fell through case!  Dang"));
    // Shown from the View menu, the diagnostics are all there.
    action_named("&Diagnostics")->trigger();
    EXPECT_TRUE(main().diagnostics_view().isVisible());
    EXPECT_TRUE(main().diagnostics_pane().toPlainText().contains("ubee2"));
}

TEST_F(ComfortTest, ClearAndResetAsksFirstThenClearsThePlotAndTheResults) {
    load_examples();
    main().button("DoSVD2")->click();
    main().button("ShowAxis")->click();
    ASSERT_FALSE(string_of("AuxResults").empty());
    ASSERT_FALSE(ui().figure().axes().children().empty());
    const auto answer = [this](bool clear) {
        QTimer::singleShot(0, [this, clear] {
            auto* box = main().findChild<QMessageBox*>("ClearQuestion");
            ASSERT_NE(box, nullptr);
            if (clear)
                box->findChild<QPushButton*>("ClearConfirm")->click();
            else
                QTest::keyClick(box, Qt::Key_Return);  // the default keeps everything
        });
        main().button("Clear&reset")->click();
    };
    answer(false);
    EXPECT_NE(string_of("FileBox1"), " ");
    EXPECT_FALSE(string_of("AuxResults").empty());
    answer(true);
    EXPECT_EQ(string_of("FileBox1"), " ");
    EXPECT_TRUE(string_of("AuxResults").empty());
    EXPECT_TRUE(ui().figure().axes().children().empty());
}

TEST_F(ComfortTest, AxisUpAndDownRedrawThePictureShown) {
    load_examples();
    main().button("DoSVD2")->click();
    ui().figure().clear();
    main().button("AxisUp")->click();  // nothing shown yet: nothing is drawn
    EXPECT_EQ(string_of("ShowBox"), "2");
    EXPECT_TRUE(ui().figure().axes().children().empty());
    main().button("ShowAxis")->click();
    const size_t drawn = ui().figure().axes().children().size();
    ASSERT_GT(drawn, 0u);
    ui().figure().clear();
    main().button("AxisUp")->click();
    EXPECT_EQ(string_of("ShowBox"), "3");
    EXPECT_GT(ui().figure().axes().children().size(), 0u);  // drawn again for axis 3
}

TEST_F(ComfortTest, ADroppedFileLoadsThroughTheBlocksButtonAndIsRemembered) {
    drop(*main().findChild<QWidget*>("FileBox3"), data / "groupB_b1.txt");
    EXPECT_EQ(string_of("FileBox3"), "File: groupB_b1.txt \n  25 Specimens \n   8 Landmarks");
    EXPECT_TRUE(dialogs.empty());  // no dialog asked
    ui().control("Morph2").set_value(0);
    drop(*main().findChild<QWidget*>("FileBox4"), data / "groupB_vars.txt");
    EXPECT_EQ(string_of("FileBox4").rfind("Block2-Not LM \nFile: groupB_vars.txt", 0), 0u);
    EXPECT_EQ(main().findChild<QLabel*>("Block2KindG2")->text(), "Block 2: variables");
    // The session records the drop as the load it is.
    const std::string text = ui().recorder().script((data / "x.tvs").string());
    EXPECT_NE(text.find("answer file groupB_b1.txt\naction LoadG2B1"), std::string::npos) << text;

    gui::note_recent_file(gui::RecentKind::Session, QString::fromStdString(data.string()));
    EXPECT_EQ(gui::recent_files(gui::RecentKind::Session).front().toStdString(), data.string());
}

TEST_F(ComfortTest, TheHelpMenuNamesTheLicenceAndTheSteps) {
    EXPECT_TRUE(gui::about_text().contains("MIT licence"));
    EXPECT_TRUE(gui::about_text().contains(TESVANE_TEST_VERSION));
    EXPECT_TRUE(gui::getting_started_text().contains("Load the data"));
    ASSERT_NE(action_named("&Plot and deformation types"), nullptr);
    action_named("&Plot and deformation types")->trigger();
    auto* types = main().findChild<QDialog*>("PlotTypes");
    ASSERT_NE(types, nullptr);
    EXPECT_TRUE(
        types->findChild<QPlainTextEdit*>()->toPlainText().contains("25  PLS scores, both groups"));
    types->close();
}

}  // namespace
}  // namespace tesvane::test
