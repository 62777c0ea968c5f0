// Actions that wait for the user: clicks in the plot, the input dialog and progress. While
// they wait the windows keep painting, other actions are refused, and closing ends the wait.
#include <QElapsedTimer>
#include <QInputDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

#include "gui_fixture.hpp"
#include "platform/qt/plot_widget.hpp"
#include "platform/qt/results_window.hpp"
#include "platform/render/figure_renderer.hpp"

namespace tesvane::test {
namespace {

class WaitTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
        fig::Axes& axes = ui().figure().axes();
        axes.plot({0, 10}, {0, 5}, "k-");
        axes.set_limits({0, 10, 0, 5});
        QApplication::processEvents();
    }
    gui::PlotWidget& plot() { return main().plot(); }

    // Presses `button` at data (x, y) once the wait has begun.
    void click_later(double x, double y, Qt::MouseButton button) {
        QTimer::singleShot(20, &main(), [this, x, y, button] {
            const std::optional<QPointF> p = plot().to_widget(x, y);
            ASSERT_TRUE(p.has_value());
            QTest::mouseClick(&plot(), button, {}, p->toPoint());
        });
    }
    // Runs `body` as the current action, as a figure command would.
    void run_as_action(const std::function<void()>& body) {
        ASSERT_TRUE(ui().run_exclusive("test", body));
    }
};

// The plot draws its points at the screen's size of a point, so that its 8-point text reads as
// the desktop's text does, and a press finds the data drawn under it.
TEST_F(WaitTest, ThePlotDrawsPointsAtTheScreensSizeAndPressesFindTheirData) {
    const double s = plot().pixels_per_point();
    EXPECT_DOUBLE_EQ(s, std::max(1.0, plot().logicalDpiX() / 72.0));
    const render::FigureLayout lay =
        render::layout_figure(ui().figure(), plot().width() / s, plot().height() / s);
    const std::optional<QPointF> corner = plot().to_widget(10, 0);
    ASSERT_TRUE(corner.has_value());
    EXPECT_NEAR(corner->x(), lay.plot_box.right() * s, 1e-9);
    EXPECT_NEAR(corner->y(), lay.plot_box.bottom() * s, 1e-9);
    for (const auto& [x, y] : {std::pair{2.5, 4.0}, std::pair{9.0, 0.5}}) {
        const std::optional<QPointF> w = plot().to_widget(x, y);
        ASSERT_TRUE(w.has_value());
        const std::optional<QPointF> back = plot().to_data(*w);
        ASSERT_TRUE(back.has_value());
        EXPECT_NEAR(back->x(), x, 1e-9);
        EXPECT_NEAR(back->y(), y, 1e-9);
    }
}

TEST_F(WaitTest, ClickReturnsDataUnitsAndTheButtonAndEscapeAbandonsIt) {
    // One pixel spans about 10 / plot width data units; allow a pixel and a half.
    click_later(2.5, 4, Qt::LeftButton);
    std::optional<Click> c = ui().click_in_axes();
    ASSERT_TRUE(c.has_value());
    EXPECT_NEAR(c->x, 2.5, 1.5 * 10 / plot().width());
    EXPECT_NEAR(c->y, 4, 1.5 * 5 / plot().height());
    EXPECT_EQ(c->button, 1);
    click_later(7, 1, Qt::RightButton);
    EXPECT_EQ(ui().click_in_axes().value_or(Click{}).button, 3);
    QTimer::singleShot(20, &main(), [this] { QTest::keyClick(&plot(), Qt::Key_Escape); });
    EXPECT_FALSE(ui().click_in_axes().has_value());
    EXPECT_FALSE(plot().waiting_for_click());
}

TEST_F(WaitTest, DuringAWaitThePlotRepaintsAndOtherActionsAreRefused) {
    int frames_seen = -1;
    QTimer::singleShot(20, &main(), [&] {
        const int before = plot().frames_painted();
        ui().figure().axes().plot({1, 2}, {1, 2}, "r-");
        QTest::qWait(50);
        frames_seen = plot().frames_painted() - before;
        main().button("LoadG1B1")->click();  // refused: an action is running
        QTest::keyClick(&plot(), Qt::Key_Escape);
    });
    std::optional<Click> c = Click{};
    run_as_action([&] { c = ui().click_in_axes(); });
    EXPECT_FALSE(c.has_value());
    EXPECT_GT(frames_seen, 0);
    EXPECT_TRUE(dialogs.empty());
    main().button("LoadG1B1")->click();  // once the action is over, the button works again
    EXPECT_EQ(dialogs.size(), 1u);
}

TEST_F(WaitTest, ClosingTheMainWindowEndsTheWaitAndThenClosesAndAHiddenOneIsNotWaitedFor) {
    QTimer::singleShot(20, &main(), [this] { main().close(); });
    std::optional<Click> c = Click{};
    run_as_action([&] { c = ui().click_in_axes(); });
    EXPECT_FALSE(c.has_value());
    QTest::qWait(20);
    EXPECT_FALSE(main().isVisible());
    EXPECT_FALSE(ui().results_window().isVisible());
    EXPECT_FALSE(ui().click_in_axes().has_value());
}

TEST_F(WaitTest, InputDialogReturnsTheTextOrNothingOnCancel) {
    QString preset;  // the prompt and the offered answer
    QTimer::singleShot(20, &main(), [&] {
        auto* d = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        preset = d->labelText() + " " + d->textValue();
        d->setTextValue("45");
        d->accept();
    });
    EXPECT_EQ(ui().input_dialog("Rotation", "Angle in degrees?", "10"), "45");
    EXPECT_EQ(preset, "Angle in degrees? 10");

    QTimer::singleShot(20, &main(), [] {
        if (QWidget* d = QApplication::activeModalWidget())
            qobject_cast<QDialog*>(d)->reject();
    });
    EXPECT_FALSE(ui().input_dialog("Rotation", "Angle in degrees?", "10").has_value());
}

TEST_F(WaitTest, LongProgressShowsACancellableDialogThatGoesAwayAtTheEnd) {
    const auto visible_dialog = [this] {
        const QList<QProgressDialog*> ds = main().findChildren<QProgressDialog*>();
        const auto it = std::ranges::find_if(ds, &QWidget::isVisible);
        return it == ds.end() ? nullptr : *it;
    };
    bool cancelled = false;
    qint64 shown_after = -1;
    QElapsedTimer clock;
    clock.start();
    run_as_action([&] {
        for (int i = 0; i < 400 && !cancelled; ++i) {
            if (!ui().progress(i / 400.0, "Bootstrap replicate"))
                cancelled = true;
            if (QProgressDialog* d = visible_dialog()) {
                shown_after = clock.elapsed();
                d->cancel();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    EXPECT_GE(shown_after, 300);  // shown, after a while
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(visible_dialog(), nullptr);

    // A quick one never shows, and the next action starts uncancelled.
    run_as_action([&] {
        EXPECT_TRUE(ui().progress(0.5, "quick"));
        EXPECT_EQ(visible_dialog(), nullptr);
        EXPECT_TRUE(ui().progress(1, "quick"));
    });
}

}  // namespace
}  // namespace tesvane::test
