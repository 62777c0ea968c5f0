#include <cairo.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <array>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "platform/error.hpp"
#include "platform/render/cairo_canvas.hpp"
#include "platform/render/figure_export.hpp"
#include "platform/render/svg_canvas.hpp"
#include "test_util.hpp"

namespace tesvane::render {
namespace {

namespace fs = std::filesystem;

using test::error_of;
using test::read_file;

// A figure of 560 x 420 points on axes fixed at [0 1 0 1]. `scene` draws a 4-point red line
// along y = 0.5, broken at x = 0.5 by a not-a-number; a filled (x = 0.25) and a hollow
// (x = 0.75) red marker of 30 points at y = 0.8; and a black segment of 0.002 data units (an
// arrow barb) at (0.5, 0.2).
class Render : public ::testing::Test {
  protected:
    static bool is_white(QRgb c) { return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245; }
    static bool is_red(QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; }
    static bool is_blue(QRgb c) { return qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60; }
    void scene() {
        ax.set_hold(true);
        ax.plot({0.1, 0.4, NAN, 0.6, 0.9}, {0.5, 0.5, 0.5, 0.5, 0.5}, "r-", 4);
        ax.plot({0.25}, {0.8}, "ro", 2, 30).marker_face = fig::ColorSpec::automatic();
        ax.plot({0.75}, {0.8}, "ro", 2, 30);
        ax.plot({0.5, 0.502}, {0.2, 0.2}, "k", 1);
        ax.set_limits({0, 1, 0, 1});
    }
    FigureLayout layout() const { return layout_figure(f, 560, 420); }
    static void expect_near(const std::array<double, 4>& got, const std::array<double, 4>& want,
                            double tol) {
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(got[i], want[i], tol) << "entry " << i;
    }
    // The pixel of a picture at `scale` pixels per point under the data point (x, y).
    QRgb pixel(const QImage& img, double x, double y, double scale) const {
        const Point p = layout().to_canvas(x, y);
        return img.pixel(static_cast<int>(p.x * scale), static_cast<int>(p.y * scale));
    }

    fig::Figure f;
    fig::Axes& ax = f.axes();
};

// The same, with the scene drawn and a fresh folder to save into.
class SaveFigure : public Render {
  protected:
    SaveFigure()
        : dir_(fs::temp_directory_path() / ("tesvane_render_" + std::to_string(getpid()))) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        scene();
    }
    ~SaveFigure() override { fs::remove_all(dir_); }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }
    auto entries() const { return std::distance(fs::directory_iterator(dir_), {}); }
    fs::path dir_;
};

// ---- labels and layout

TEST(Ticks, MultiplesOfTheStepLabelledWithItsDecimals) {
    const auto t = tick_values(-0.63, 0.63, 0.2);
    ASSERT_EQ(t.size(), 7u);
    EXPECT_NEAR(t.front(), -0.6, 1e-12);
    EXPECT_NEAR(t.back(), 0.6, 1e-12);
    // Both ends on ticks; none in range; an empty range; absurdly fine steps give no ticks.
    const std::tuple<double, double, double, std::size_t> counts[] = {
        {0, 1, 0.2, 6}, {0.21, 0.39, 0.2, 0}, {1, 0, 0.2, 0}, {0, 1, 1e-9, 0}};
    for (const auto& [lo, hi, step, n] : counts)
        EXPECT_EQ(tick_values(lo, hi, step).size(), n) << lo << " " << hi << " " << step;

    const std::tuple<double, double, const char*> labels[] = {
        {-0.5, 0.5, "\u22120.5"},          {1, 0.5, "1.0"},
        {-150, 50, "\u2212150"},           {0.005, 0.005, "0.005"},
        {0.30000000000000004, 0.1, "0.3"}, {-1e-17, 0.2, "0.0"},  // never "-0.0"
    };
    for (const auto& [v, step, want] : labels)
        EXPECT_EQ(tick_label(v, step), want) << v;
}

TEST_F(Render, AxesFillTheirPositionOrPadTheShortRangeForEqualAspect) {
    ax.plot({0, 1}, {0, 1}, "k-");
    const Point lo = layout().to_canvas(0, 0), hi = layout().to_canvas(1, 1);
    expect_near({lo.x, lo.y, hi.x, hi.y},
                {0.13 * 560, 420 - 0.11 * 420, (0.13 + 0.775) * 560, 420 - 0.925 * 420}, 1e-9);
    ax.set_equal(true);
    const double half = 0.5 * (0.775 * 560) / (0.815 * 420);  // x has room to spare
    expect_near(layout().visible, {0.5 - half, 0.5 + half, 0, 1}, 1e-12);
    expect_near(ax.limits(), {0, 1, 0, 1}, 1e-12);
    const double tall = 0.5 * (0.815 * 800) / (0.775 * 300);  // a tall picture pads y instead
    expect_near(layout_figure(f, 300, 800).visible, {0, 1, 0.5 - tall, 0.5 + tall}, 1e-12);
}

TEST_F(Render, WideTickLabelsStayOnThePicture) {
    ax.plot({-12345.5, 23456.25}, {0.001, 0.0013}, "r-o");         // labels such as "0.00125"
    EXPECT_GT(layout_figure(f, 300, 220).plot_box.x, 0.13 * 300);  // moved right to make room
    const QImage img = figure_image(f, 300, 220, 2);
    for (int y = 0; y < img.height(); ++y)
        ASSERT_TRUE(is_white(img.pixel(0, y)) && is_white(img.pixel(1, y))) << "row " << y;
}

// A canvas that keeps what is drawn on it: each text with its size, each pen's width.
class Recording : public Canvas {
  public:
    struct Drawn {
        std::string text;
        double size;
        Point at;
        bool up;
    };
    std::vector<Drawn> texts;
    std::vector<double> pen_widths;
    void stroke_polyline(const std::vector<Point>&, const Pen& pen, bool) override {
        pen_widths.push_back(pen.width);
    }
    void fill_polygon(const std::vector<std::vector<Point>>&, fig::Rgb) override {}
    void draw_circle(Point, double, const std::optional<fig::Rgb>&,
                     const std::optional<Pen>& edge) override {
        if (edge)
            pen_widths.push_back(edge->width);
    }
    void draw_text(Point a, const std::string& s, double size, fig::Rgb, HAlign, VAlign) override {
        texts.push_back({s, size, a, false});
    }
    void draw_text_up(Point a, const std::string& s, double size, fig::Rgb, HAlign,
                      VAlign) override {
        texts.push_back({s, size, a, true});
    }
    TextMetrics measure_text(const std::string& s, double size) override {
        return {0.55 * size * static_cast<double>(s.size()), 0.8 * size, 0.2 * size};
    }
    void set_clip(const Rect&) override {}
    void reset_clip() override {}
    const Drawn* find(const std::string& s) const {
        for (const Drawn& d : texts)
            if (d.text == s)
                return &d;
        return nullptr;
    }
};

// A score plot as exported into one 85 mm column: every title, legend entry and the caption
// are written, no text is under 7 points and no line under 0.5 points, all on the page.
TEST_F(Render, AColumnWideExportNamesItsAxesAndSeriesInReadableSizes) {
    ax.plot({-0.1, 0.05, 0.12}, {-0.2, 0.1, 0.15}, "bo");
    ax.set_hold(true);
    ax.plot({-0.05, 0.0, 0.08}, {-0.1, 0.02, 0.2}, "r*");
    ax.xlabel = "Block 1 PLS 1 scores";
    ax.ylabel = "Block 2 PLS 1 scores";
    ax.legend = {fig::legend_entry("Jord (r = 0.912)", "bo"),
                 fig::legend_entry("Teyah (r = 0.874)", "r*")};
    ax.caption = "Scores on PLS axis 1, block 1 against block 2: Jord and Teyah";
    f.export_size = fig::parse_export_size("85x85mm", 300);
    const double w = f.export_size.width_pt, h = f.export_size.height_pt;
    Recording rec;
    render_figure(f, rec, w, h);
    for (const std::string& s : {ax.xlabel, ax.legend[0].label, ax.legend[1].label})
        EXPECT_TRUE(rec.find(s)) << s;
    // The caption, wrapped to the page's width, in lines one under the other.
    std::string caption;
    double last_y = 0;
    for (const auto& t : rec.texts) {
        if (t.size != fig::kCaptionFontSize)
            continue;
        caption += (caption.empty() ? "" : " ") + t.text;
        EXPECT_GT(t.at.y, last_y);
        EXPECT_GT(t.at.y, layout_figure(f, w, h).plot_box.bottom());
        last_y = t.at.y;
    }
    EXPECT_EQ(caption, ax.caption);
    ASSERT_TRUE(rec.find(ax.ylabel));
    EXPECT_TRUE(rec.find(ax.ylabel)->up);
    for (const auto& t : rec.texts) {
        EXPECT_GE(t.size, 7) << t.text;
        EXPECT_TRUE(t.at.x >= 0 && t.at.x <= w && t.at.y >= 0 && t.at.y <= h) << t.text;
    }
    for (double pw : rec.pen_widths)
        EXPECT_GE(pw, 0.5);
    const FigureLayout lay = layout_figure(f, w, h);
    EXPECT_LT(lay.legend_at[0].y, lay.plot_box.y);  // the legend above the box

    // Without the caption the box grows into its room; a deformation picture may drop its
    // frame, leaving neither ticks nor tick labels.
    f.show_caption = false;
    EXPECT_GT(layout_figure(f, w, h).plot_box.h, lay.plot_box.h);
    Recording bare;
    ax.deformation_picture = true;
    f.frame_on_deformations = false;
    render_figure(f, bare, w, h);
    EXPECT_EQ(bare.texts.size(), 4u);  // the two titles and the two legend entries
}

// A label shifted in points keeps its distance on the page from the point it names, at any
// picture size and plotted range; its halo moves with it.
TEST_F(Render, ALabelsShiftIsInPointsOnThePage) {
    ax.plot({0, 10}, {0, 10}, "k-");
    fig::Text& t = ax.text(5, 5, "7");
    t.halo = true;
    t.offset_x_pt = 3.5;
    t.offset_y_pt = 2;
    for (const auto& [w, h] : {std::pair{240.0, 240.0}, std::pair{800.0, 500.0}}) {
        Recording rec;
        render_figure(f, rec, w, h);
        const Point at = layout_figure(f, w, h).to_canvas(5, 5);
        std::vector<Point> drawn;
        for (const auto& d : rec.texts)
            if (d.text == "7")
                drawn.push_back(d.at);
        ASSERT_EQ(drawn.size(), 9u);  // eight white copies, then the number
        EXPECT_NEAR(drawn.back().x, at.x + 3.5, 1e-9) << w;
        EXPECT_NEAR(drawn.back().y, at.y - 2, 1e-9) << w;  // up on the page
        for (const Point& p : drawn)
            EXPECT_LE(std::hypot(p.x - drawn.back().x, p.y - drawn.back().y), 1.0 + 1e-9);
    }
}

// Loading plots put their ticks at the variables, named.
TEST_F(Render, GivenTicksReplaceTheAutomaticOnes) {
    ax.plot({1, 2, 3}, {0.5, -0.2, 0.7}, "bo");
    ax.set_limits({0.5, 3.5, -1, 1});
    ax.xticks = {{1, 2, 3}, {"Variable 1", "Variable 2", "Variable 3"}};
    Recording rec;
    render_figure(f, rec, 300, 200);
    for (const char* s : {"Variable 1", "Variable 2", "Variable 3"})
        EXPECT_TRUE(rec.find(s)) << s;
    EXPECT_FALSE(rec.find("1.5"));
}

// ---- pixels

// Axes placed in pixels hold the bands and, beside them, the colour bar.
TEST_F(Render, ContourBandsFillEvenOddWithAColourBarInsideThePosition) {
    ax.units = "pixels";
    ax.position = {50, 40, 400, 300};
    auto c = std::make_unique<fig::FilledContour>(0);
    c->levels = {0, 1, 2};
    c->bands.push_back({0, 1, {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}}, {0, 0, 1}});
    c->bands[0].rings.push_back({{0.3, 0.3}, {0.7, 0.3}, {0.7, 0.7}, {0.3, 0.7}});  // a hole
    c->bands.push_back({1, 2, {{{0.4, 0.4}, {0.6, 0.4}, {0.6, 0.6}, {0.4, 0.6}}}, {1, 0, 0}});
    ax.add(std::move(c));
    ax.set_limits({0, 1, 0, 1});
    const FigureLayout lay = layout();
    EXPECT_NEAR(lay.plot_box.x, 50, 1e-12);
    EXPECT_NEAR(lay.plot_box.y, 420 - 340, 1e-12);
    const auto bar = lay.colorbar;
    ASSERT_TRUE(bar);
    EXPECT_GT(bar->x, lay.plot_box.right());
    EXPECT_LE(bar->right(), 450);  // the bar and its labels stay inside the position
    EXPECT_NEAR(bar->h, lay.plot_box.h, 1e-12);
    const QImage img = figure_image(f, 560, 420, 1);
    EXPECT_TRUE(is_blue(pixel(img, 0.15, 0.15, 1)));
    EXPECT_TRUE(is_white(pixel(img, 0.35, 0.5, 1)));  // in the hole
    EXPECT_TRUE(is_red(pixel(img, 0.5, 0.5, 1)));     // the inner band
}

// The cairo canvas (files) and the SVG text draw the same layout as the Qt one (windows): up
// to anti-aliasing, the same pixels are red.
TEST_F(Render, CairoSvgTextAndQtBackendsAgree) {
    scene();
    ax.text(0.5, 0.3, "a<b & \"c\"");
    const QImage qt = figure_image(f, 280, 210, 1).convertToFormat(QImage::Format_RGB32);
    QImage cairo(280, 210, QImage::Format_RGB32), drawn(280, 210, QImage::Format_RGB32);
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        cairo.bits(), CAIRO_FORMAT_RGB24, 280, 210, static_cast<int>(cairo.bytesPerLine()));
    cairo_t* cr = cairo_create(surface);
    CairoCanvas canvas(cr);
    render_figure(f, canvas, 280, 210);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);  // the picture is now in `cairo`
    const std::string svg = figure_svg_text(f, 280, 210);
    EXPECT_NE(svg.find("width=\"280pt\" height=\"210pt\""), std::string::npos);
    EXPECT_NE(svg.find(">a&lt;b &amp; &quot;c&quot;</text>"), std::string::npos);
    QSvgRenderer renderer(QByteArray::fromStdString(svg));
    ASSERT_TRUE(renderer.isValid());
    drawn.fill(Qt::white);
    QPainter painter(&drawn);
    renderer.render(&painter, QRectF(0, 0, 280, 210));
    painter.end();
    for (const QImage* other : {&cairo, &drawn}) {
        int red = 0, differ = 0;
        for (int y = 0; y < 210; ++y)
            for (int x = 0; x < 280; ++x) {
                red += is_red(qt.pixel(x, y)) ? 1 : 0;
                differ += is_red(qt.pixel(x, y)) != is_red(other->pixel(x, y)) ? 1 : 0;
            }
        EXPECT_GT(red, 500);
        EXPECT_LT(differ, red / 10) << differ << " of " << red << " red pixels differ";
    }
}

// ---- files

TEST_F(SaveFigure, WritesEachFormat) {
    ax.text(0.3, 0.7, "Landmark12");
    save_figure(f, file("a.png"), 560, 420, 144);
    QImage png;
    ASSERT_TRUE(png.load(QString::fromStdString(file("a.png")), "PNG"));
    EXPECT_EQ(png.size(), QSize(1120, 840));  // 2 pixels per point
    EXPECT_TRUE(is_red(pixel(png, 0.75, 0.5, 2)));
    EXPECT_TRUE(is_white(pixel(png, 0.5, 0.5, 2)));   // the not-a-number gap
    EXPECT_TRUE(is_red(pixel(png, 0.25, 0.8, 2)));    // filled
    EXPECT_TRUE(is_white(pixel(png, 0.75, 0.8, 2)));  // hollow, with its rim 15 points right
    EXPECT_TRUE(is_red(pixel(png, 0.75 + 15 / (0.775 * 560), 0.8, 2)));
    EXPECT_FALSE(is_white(pixel(png, 0.501, 0.2, 2)));  // the short segment is kept
    const int col = static_cast<int>(layout().to_canvas(0.15, 0).x * 2);
    int red = 0;
    for (int y = 0; y < png.height(); ++y)
        red += is_red(png.pixel(col, y)) ? 1 : 0;
    EXPECT_NEAR(red, 8, 1.5) << "a line of 4 points is 8 pixels thick";
    EXPECT_NEAR(figure_image(f).dotsPerMeterX() * 0.0254, 144, 0.5);  // prints at its size

    save_figure(f, file("a.svg"), 300, 200);
    const std::string svg = read_file(file("a.svg"));
    QXmlStreamReader xml(QByteArray::fromStdString(svg));
    while (!xml.atEnd())
        xml.readNext();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_NE(svg.find("viewBox=\"0 0 300 200\""), std::string::npos);
    EXPECT_NE(svg.find(">Landmark12</text>"), std::string::npos);

    save_figure(f, file("a.pdf"), 560, 420);
    EXPECT_EQ(read_file(file("a.pdf")).substr(0, 5), "%PDF-");

    save_figure(f, file("a.EPS"), 560, 420);  // the extension's case does not matter
    const std::string eps = read_file(file("a.EPS"));
    EXPECT_EQ(eps.substr(0, 24), "%!PS-Adobe-3.0 EPSF-3.0\n");
    EXPECT_NE(eps.find("%%BoundingBox: 0 0 560 420"), std::string::npos);
    EXPECT_NE(eps.find("(Landmark12)Tj"), std::string::npos);  // text stays text
    EXPECT_NE(eps.find("/FontName"), std::string::npos);
    const std::string page = eps.substr(std::min(eps.find("%%Page:"), eps.size()));
    EXPECT_NE(page.find(" l "), std::string::npos);    // lines are paths
    EXPECT_EQ(page.find("image"), std::string::npos);  // and nothing falls back to a bitmap
    EXPECT_TRUE(figure_eps(f, 100, 50).contains("%%BoundingBox: 0 0 100 50"));
    EXPECT_EQ(entries(), 4);  // no temporary files left behind
}

// The export size, in each unit it can be given in, is the size of the file's page or image.
TEST_F(SaveFigure, TheExportSizeInEachUnitIsThePageOrImageSize) {
    f.export_size = fig::parse_export_size("85x60mm", 300);
    save_figure(f, file("mm.pdf"));
    const std::string pdf = read_file(file("mm.pdf"));
    const std::size_t box = pdf.find("/MediaBox [0 0 ");
    ASSERT_NE(box, std::string::npos);
    double w = 0, h = 0;
    ASSERT_EQ(std::sscanf(pdf.c_str() + box, "/MediaBox [0 0 %lf %lf", &w, &h), 2);
    EXPECT_NEAR(w, 85 / 25.4 * 72, 0.5);  // whole points: 241 x 170
    EXPECT_NEAR(h, 60 / 25.4 * 72, 0.5);

    f.export_size = fig::parse_export_size("3x2in", 300);
    save_figure(f, file("in.svg"));
    EXPECT_NE(read_file(file("in.svg")).find("viewBox=\"0 0 216 144\""), std::string::npos);
    save_figure(f, file("in.eps"));
    EXPECT_NE(read_file(file("in.eps")).find("%%BoundingBox: 0 0 216 144"), std::string::npos);

    f.export_size = fig::parse_export_size("1200x900px", 600);
    save_figure(f, file("px.png"));
    QImage png;
    ASSERT_TRUE(png.load(QString::fromStdString(file("px.png")), "PNG"));
    EXPECT_EQ(png.size(), QSize(1200, 900));
    EXPECT_NEAR(png.dotsPerMeterX() * 0.0254, 600, 0.5);
}

// Unknown extensions and unwritable folders are errors naming the file; nothing is touched.
TEST_F(SaveFigure, BadTargetsAreErrorsAndTouchNothing) {
    std::ofstream(file("keep.xyz")) << "old";
    std::ofstream(file("plain")) << "a file, not a folder";
    for (const std::string name :
         {"keep.xyz", "noext", "pic.jpg", "missing/fig.eps", "plain/f.png"}) {
        const std::string what = error_of([&] { save_figure(f, file(name)); });
        EXPECT_NE(what.find(file(name)), std::string::npos) << what;
        EXPECT_TRUE(name.find('/') != std::string::npos ||
                    what.find(fs::path(name).extension().string()) != std::string::npos)
            << what;
    }
    EXPECT_EQ(read_file(file("keep.xyz")), "old");
    EXPECT_EQ(read_file(file("plain")), "a file, not a folder");
    EXPECT_EQ(entries(), 2);
}

// A write that fails half-way (here: the file size limit) keeps the earlier picture whole.
TEST_F(SaveFigure, FailedWriteKeepsTheExistingFile) {
    const std::string path = file("fig.png");
    std::ofstream(path) << "earlier picture";
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 64;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string what = error_of([&] { save_figure(f, path); });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_NE(what.find(path), std::string::npos) << what;
    EXPECT_EQ(read_file(path), "earlier picture");
    EXPECT_EQ(entries(), 1);  // the partial temporary file is gone
}

}  // namespace
}  // namespace tesvane::render

int main(int argc, char** argv) {
    // Rendering needs fonts, hence a GUI application, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
