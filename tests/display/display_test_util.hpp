// Helpers shared by the display tests, and the program with both example groups analysed.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/app_fixture.hpp"
#include "platform/cformat.hpp"
#include "platform/figure/figure_model.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/matrix.hpp"
#include "test_util.hpp"

namespace tesvane::test {

// Five landmarks whose automatic limits are [0 8 0 4], cs 1.
inline Matrix box_reference() {
    return row({0, 0, 8, 0, 8, 4, 0, 4, 3, 1, 1});
}

// An irregular seven-landmark form of unit-ish size.
inline Matrix irregular_reference() {
    return row({-0.42, -0.11, -0.18, 0.27, 0.09, 0.35, 0.38, 0.12, 0.33, -0.2, 0.02, -0.31, -0.22,
                -0.12, 1});
}

// The objects of one type on the axes, in drawing order.
template <class T>
std::vector<const T*> objects_of(const fig::Axes& axes) {
    std::vector<const T*> out;
    for (const auto& o : axes.drawing_order())
        if (const auto* t = dynamic_cast<const T*>(o.get()))
            out.push_back(t);
    return out;
}
inline constexpr auto& lines = objects_of<fig::Line>;
inline constexpr auto& texts = objects_of<fig::Text>;

// A headless platform that also records the default answer of input dialogs.
class RecordingPlatform : public HeadlessPlatform {
  public:
    std::optional<std::string> input_dialog(const std::string& title, const std::string& prompt,
                                            const std::string& default_answer) override {
        defaults.push_back(default_answer);
        return HeadlessPlatform::input_dialog(title, prompt, default_answer);
    }
    std::vector<std::string> defaults;
};

// The Show action on both example groups, analysed.
class ShowAxisTest : public AppTest {
  protected:
    // Both example groups loaded and analysed, block 2 as landmarks or as variables.
    void analyse(bool landmarks2) {
        start();
        ui.control("Morph2").set_value(landmarks2 ? 1 : 0);
        load_groups(examples_dir(), "groupA", "groupB", landmarks2 ? "_b2.txt" : "_vars.txt");
        ASSERT_TRUE(run_action(ctx, "DoSVD2"));
        ui.control("ExagerationBox").set_string("0.1");
    }

    bool show(int plot, double axis = 1) {
        ui.control("ReqAxisBox").set_value(plot);
        ui.control("ShowBox").set_string(cformat("%g", axis));
        return run_action(ctx, "ShowAxis");
    }

    std::vector<const fig::Line*> drawn() { return lines(ui.figure().axes()); }
    size_t objects() { return ui.figure().axes().drawing_order().size(); }
    // The points of every line in drawing order, the NaN breaks as a sentinel.
    Matrix coordinates() {
        std::vector<double> out;
        for (const fig::Line* l : drawn()) {
            out.insert(out.end(), l->x.begin(), l->x.end());
            out.insert(out.end(), l->y.begin(), l->y.end());
        }
        return Eigen::Map<Matrix>(out.data(), 1, static_cast<Index>(out.size()))
            .unaryExpr([](double v) { return std::isnan(v) ? 1e300 : v; });
    }
};

}  // namespace tesvane::test
