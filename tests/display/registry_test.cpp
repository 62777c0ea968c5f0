// The display routines reached by name, as scripts and callbacks reach them.
#include <gtest/gtest.h>

#include "app/Tesvane6i.hpp"
#include "app/app_context.hpp"
#include "display_test_util.hpp"
#include "platform/error.hpp"

namespace tesvane::test {
namespace {

class ByName : public ::testing::Test {
  protected:
    ByName() : ctx(ui) { register_functions(ctx); }
    Values call(const std::string& name, const Values& in, int nout) {
        return ctx.functions.call(ctx, name, in, nout);
    }
    RecordingPlatform ui;
    AppContext ctx;
};

TEST_F(ByName, TheSuperimpositionDisplayTakesItsArgumentsInOrderAndReturnsThreeOutputs) {
    const auto num = [](double v) { return Matrix::Constant(1, 1, v); };
    const Values out = call("showpw5",
                            {box_reference(), Matrix::Zero(1, 7), num(16), num(1), num(2), num(1),
                             num(2), num(0.5), std::string("r-")},
                            3);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(std::get<Matrix>(out[2])(0, 0), 0);
    const auto ls = lines(ui.figure().axes());
    ASSERT_EQ(ls.size(), 34u);
    EXPECT_EQ(ls[0]->color, (fig::Rgb{1, 0, 0}));
    EXPECT_EQ(ls[0]->line_width, 0.5);
    EXPECT_EQ(ls.back()->marker, "d");  // the default landmark style
}

}  // namespace
}  // namespace tesvane::test
