// The Show action on an analysed example: which axis reaches which display, and the cases where
// nothing is drawn; and a display reached by name, as scripts and callbacks reach it.

#include "analysis/two_block_pls.hpp"
#include "app/Tesvanesw.hpp"
#include "display_test_util.hpp"
#include "geometry/getconsensus.hpp"
#include "platform/cformat.hpp"

namespace tesvane::test {
namespace {

TEST_F(ShowAxisTest, PrincipalComponentsCountFromTheLastColumn) {
    analyse(true);
    // Group 1's PLS axis 1 replaced by principal components 1 and 3 of its block 1: plot type 9
    // must draw what plot type 3 draws for the same direction.
    const Matrix vm1c = ctx.vars.matrix("Vm1c");
    const Index q = vm1c.cols();
    ui.control("DeFormat").set_value(3);
    for (int pc : {1, 3}) {
        ASSERT_TRUE(show(9, pc));
        const Matrix as_pc = coordinates();
        Matrix u = ctx.vars.matrix("ubee2");
        u.col(0) = vm1c.col(q - pc);
        ctx.vars.set("ubee2", u);
        ASSERT_TRUE(show(3, 1));
        EXPECT_LT(max_diff(coordinates(), as_pc), 1e-12);
    }
}

// The landmark vectors drawn in red (the second layer), one row (dx, dy) per landmark.
Matrix red_vectors(const std::vector<const fig::Line*>& ls, const Matrix& reference) {
    Matrix out(0, 2);
    for (const fig::Line* l : ls)
        for (Index j = 0; 2 * j + 1 < reference.cols(); ++j)
            if (l->x.size() == 2 && l->color == fig::Rgb{1, 0, 0} && l->x[0] == reference(2 * j) &&
                l->y[0] == reference(2 * j + 1)) {
                out.conservativeResize(out.rows() + 1, 2);
                out.row(out.rows() - 1) << l->x[1] - l->x[0], l->y[1] - l->y[0];
            }
    return out;
}

TEST_F(ShowAxisTest, ReversedSecondLayerPointsTheOtherWayAndSuperimposedBlocksReplaceReferences) {
    analyse(true);
    const Matrix reference = ctx.vars.matrix("reference1");
    for (auto [plain_type, reversed_type] : {std::pair{13, 17}, std::pair{21, 23}}) {
        ASSERT_TRUE(show(plain_type));
        const Matrix plain = red_vectors(drawn(), reference);
        ASSERT_TRUE(show(reversed_type));
        ASSERT_EQ(plain.rows(), reference.cols() / 2);
        EXPECT_LT(max_diff(red_vectors(drawn(), reference), -plain), 1e-12);
    }
    // Plot types 7 and 8 superimpose the blocks and replace the references.
    analyse(true);
    const Matrix data1 = ctx.vars.matrix("data1");
    const Matrix data1g = ctx.vars.matrix("data1g");
    ASSERT_TRUE(show(7));
    const Matrix pooled = getconsensus(stack_rows(data1, data1g, "Block 1")).reference;
    EXPECT_EQ(max_diff(ctx.vars.matrix("reference1"), pooled), 0);  // not rounded
    EXPECT_EQ(ui.control("HomologyButton").enable(), "off");
    // The markers of both groups' configurations and of the reference: one object each.
    EXPECT_EQ(objects(), 3u);

    ui.control("HomologyButton").set_value(0);
    ASSERT_TRUE(show(8));
    EXPECT_GT(max_diff(ctx.vars.matrix("reference2"), ctx.vars.matrix("reference2g")), 0);
}

TEST_F(ShowAxisTest, VariableBlockAxesAreLoadingPlotsAndShapeDisplaysMessages) {
    analyse(false);
    ui.control("ExagerationBox").set_string("3");
    ASSERT_TRUE(show(5, 2));
    std::vector<const fig::Line*> ls = drawn();
    ASSERT_EQ(ls.size(), 1u);
    const ColVector v = ctx.vars.matrix("vbee2").col(1);  // neither exaggerated nor extended
    EXPECT_EQ(ls[0]->y, std::vector<double>(v.begin(), v.end()));
    const ColVector n = ColVector::LinSpaced(v.size(), 1, static_cast<double>(v.size()));
    EXPECT_EQ(ls[0]->x, std::vector<double>(n.begin(), n.end()));

    // PLS against a reversed principal component of group 2: red circles and red diamonds.
    ASSERT_TRUE(show(20, 1));
    ls = drawn();
    ASSERT_EQ(ls.size(), 2u);
    const Matrix vm2g = ctx.vars.matrix("Vm2g");
    EXPECT_EQ(ls[0]->y[0], ctx.vars.matrix("vbee2g")(0, 0));
    EXPECT_EQ(ls[1]->y[0], -vm2g(0, vm2g.cols() - 1));
    EXPECT_EQ(ls[0]->color, ls[1]->color);
    // Shape displays of block 2 are messages that stop the action and leave the picture as it
    // was.
    ASSERT_TRUE(show(3));
    const size_t before = objects();
    ASSERT_GT(before, 0u);
    EXPECT_FALSE(show(8));
    EXPECT_EQ(last_message(), "Sorrry, no data display for non-shape block 2 data");
    EXPECT_FALSE(show(24));
    EXPECT_EQ(last_message(), "Sorry not implemented for non-shape data in block 2");
    ui.control("HomologyButton").set_value(0);
    EXPECT_FALSE(show(2));
    EXPECT_EQ(last_message(),
              "A common display of the Block 2 SVD axes is not possible, as the two blocks are "
              "non-homologous");
    EXPECT_EQ(objects(), before);
}

TEST_F(ShowAxisTest, ScorePlotAndAxesOutsideTheAnalysisOrAMissingTemplateAreErrors) {
    analyse(true);
    // The score plot shows both groups with their correlations.
    ASSERT_TRUE(show(25, 2));
    const std::vector<const fig::Line*> ls = drawn();
    ASSERT_EQ(ls.size(), 2u);
    ASSERT_EQ(ls[1]->x.size(), static_cast<size_t>(ctx.vars.matrix("swc1g").rows()));
    EXPECT_EQ(ls[1]->x[4], ctx.vars.matrix("swc1g")(4, 1));
    EXPECT_EQ(ls[1]->y[4], ctx.vars.matrix("swc2g")(4, 1));
    // Its axes are named, and the legend names each group (after its block-1 file) with its
    // correlation on the axis.
    const fig::Axes& a = ui.figure().axes();
    EXPECT_TRUE(texts(a).empty());
    EXPECT_EQ(a.xlabel, "Block 1 PLS 2 scores");
    EXPECT_EQ(a.ylabel, "Block 2 PLS 2 scores");
    ASSERT_EQ(a.legend.size(), 2u);
    EXPECT_EQ(a.legend[0],
              fig::legend_entry(cformat("groupA (r = %.3f)", ctx.vars.matrix("scor2")(1)), "bo"));
    EXPECT_EQ(a.legend[1].label, cformat("groupB (r = %.3f)", ctx.vars.matrix("scor2g")(1)));
    EXPECT_EQ(a.caption, "Scores on PLS axis 2, block 1 against block 2: groupA and groupB");
    ASSERT_TRUE(show(3));
    const size_t before = objects();
    ui.control("GridButton").set_value(1);
    ui.control("HomologyButton").set_value(0);
    ASSERT_TRUE(show(40));
    EXPECT_EQ(last_console(), "Fell through case on plot");
    EXPECT_EQ(ctx.vars.scalar("gridtrim"), 1);  // the settings were refreshed
    EXPECT_EQ(ctx.vars.scalar("homology2"), 0);
    EXPECT_FALSE(show(9, 99));  // principal component 99 of 12 would be column -86
    EXPECT_NE(last_console().find(
                  "Axis -86 is not one of the principal axes of block 1, group 1: choose 1 ... 12"),
              std::string::npos)
        << last_console();
    EXPECT_FALSE(show(3, 99));  // beyond the defined axes, named by the group
    EXPECT_NE(last_console().find("Axis 99 is not defined for "), std::string::npos)
        << last_console();
    EXPECT_FALSE(show(13, 0));  // principal component 0 would be one past the last column
    EXPECT_FALSE(show(25, 1.5));
    EXPECT_EQ(last_console(), "Error: Axis 1.5 is not a whole number");
    ui.control("TemplateButton").set_value(1);
    EXPECT_FALSE(show(3));
    EXPECT_EQ(last_console(), "Error: No template is loaded: load the templates first");
    EXPECT_EQ(objects(), before);
}

// Pictures name what they show: the groups by the names typed for them, else by their files.
TEST_F(ShowAxisTest, PicturesAreLabelledWithTheGroupsAndTheAxis) {
    analyse(true);
    ui.control("GroupName2").set_string("  Teyah ");
    const fig::Axes& a = ui.figure().axes();
    ASSERT_TRUE(show(1, 2));
    EXPECT_TRUE(a.deformation_picture);
    EXPECT_EQ(a.legend, (std::vector<fig::LegendEntry>{fig::legend_entry("groupA", "k-"),
                                                       fig::legend_entry("Teyah", "r-")}));
    EXPECT_EQ(a.caption,
              "PLS axis 2, block 1, groupA and Teyah; target at 0.1 × the unit-length axis");
    ASSERT_TRUE(show(19));
    EXPECT_EQ(a.legend[1].label, "PC 1, reversed");
    EXPECT_EQ(a.caption,
              "Block 1, Teyah: PLS axis 1 against principal component 1 reversed; target at "
              "0.1 × the unit-length axis");
    ui.control("DeFormat").set_value(9);
    ASSERT_TRUE(show(4));
    EXPECT_TRUE(a.legend.empty());  // one series
    const auto contour = std::find_if(a.drawing_order().begin(), a.drawing_order().end(),
                                      [](const auto& o) { return o->type() == "contour"; });
    ASSERT_NE(contour, a.drawing_order().end());
    EXPECT_EQ(static_cast<const fig::FilledContour&>(**contour).label, "|y displacement|");
    ASSERT_TRUE(show(7));
    EXPECT_EQ(a.xlabel, "Procrustes x");
    EXPECT_EQ(a.legend.size(), 3u);
    EXPECT_FALSE(a.deformation_picture);

    // A loading plot: ticks at the variables, named.
    analyse(false);
    ASSERT_TRUE(show(14, 1));
    EXPECT_EQ(a.xlabel, "Variable");
    EXPECT_EQ(a.xticks.values, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(a.xticks.labels[2], "Variable 3");
    EXPECT_EQ(a.legend, (std::vector<fig::LegendEntry>{fig::legend_entry("PLS 1", "bo"),
                                                       fig::legend_entry("PC 1", "bd")}));
    EXPECT_EQ(a.caption,
              "Block 2, groupA: PLS axis 1 against principal component 1; loadings of the "
              "variables");
}

// An axis beyond the rank of a group shown has no direction: the picture is refused, naming
// the group, and the previous picture stays.
TEST_F(ShowAxisTest, NullAxesAreRefused) {
    analyse(true);
    Matrix s = ctx.vars.matrix("sbee2g");
    ASSERT_GE(std::min(s.rows(), s.cols()), 5);
    for (Index i = 3; i < std::min(s.rows(), s.cols()); ++i)
        s(i, i) = 0;
    ctx.vars.set("sbee2g", s);
    ASSERT_TRUE(show(3, 4));  // group 1 alone has the axis
    const size_t before = objects();
    const std::string caption = ui.figure().axes().caption;
    for (int plot : {1, 4, 6, 15, 25}) {
        EXPECT_FALSE(show(plot, 4)) << plot;  // a refusal fails the action
        EXPECT_EQ(last_message(),
                  "Axis 4 is not defined for groupB: the analysis has 3 defined axes");
        EXPECT_EQ(objects(), before) << plot;
        EXPECT_EQ(ui.figure().axes().caption, caption);
    }
    ASSERT_TRUE(show(4, 3));
    EXPECT_EQ(ui.figure().axes().caption.rfind("PLS axis 3, block 1, groupB", 0), 0u);
}

TEST_F(ShowAxisTest, TheSuperimpositionDisplayByNameTakesItsArgumentsInOrder) {
    start();
    const auto num = [](double v) { return Matrix::Constant(1, 1, v); };
    const Values out = ctx.functions.call(ctx, "showpw5",
                                          {box_reference(), Matrix::Zero(1, 7), num(16), num(1),
                                           num(2), num(1), num(2), num(0.5), std::string("r-")},
                                          3);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(std::get<Matrix>(out[2])(0, 0), 0);
    const auto ls = drawn();
    ASSERT_EQ(ls.size(), 34u);
    EXPECT_EQ(ls[0]->color, (fig::Rgb{1, 0, 0}));
    EXPECT_EQ(ls[0]->line_width, 0.5);
    EXPECT_EQ(ls.back()->marker, "d");  // the default landmark style
}

}  // namespace
}  // namespace tesvane::test
