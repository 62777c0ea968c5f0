// Helpers shared by the display tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/figure/figure_model.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/matrix.hpp"

namespace tesvane::test {

inline Matrix row(std::initializer_list<double> v) {
    Matrix m(1, static_cast<Index>(v.size()));
    Index i = 0;
    for (double d : v)
        m(i++) = d;
    return m;
}

inline double max_diff(const Matrix& a, const Matrix& b) {
    if (a.rows() != b.rows() || a.cols() != b.cols())
        return INFINITY;
    return a.size() == 0 ? 0.0 : (a - b).cwiseAbs().maxCoeff();
}

// Five landmarks whose automatic limits are [0 8 0 4], cs 1.
inline Matrix box_reference() {
    return row({0, 0, 8, 0, 8, 4, 0, 4, 3, 1, 1});
}

// An irregular seven-landmark form of unit-ish size.
inline Matrix irregular_reference() {
    return row({-0.42, -0.11, -0.18, 0.27, 0.09, 0.35, 0.38, 0.12, 0.33, -0.2, 0.02, -0.31, -0.22,
                -0.12, 1});
}

// The line objects of the axes in drawing order.
inline std::vector<const fig::Line*> lines(const fig::Axes& axes) {
    std::vector<const fig::Line*> out;
    for (const auto& o : axes.drawing_order())
        if (const auto* l = dynamic_cast<const fig::Line*>(o.get()))
            out.push_back(l);
    return out;
}

inline std::vector<const fig::Text*> texts(const fig::Axes& axes) {
    std::vector<const fig::Text*> out;
    for (const auto& o : axes.drawing_order())
        if (const auto* t = dynamic_cast<const fig::Text*>(o.get()))
            out.push_back(t);
    return out;
}

// A headless platform that also records the prompt and the default answer of input dialogs.
class RecordingPlatform : public HeadlessPlatform {
  public:
    std::optional<std::string> input_dialog(const std::string& title, const std::string& prompt,
                                            const std::string& default_answer) override {
        prompts.push_back(prompt);
        defaults.push_back(default_answer);
        return HeadlessPlatform::input_dialog(title, prompt, default_answer);
    }
    std::vector<std::string> prompts, defaults;
};

}  // namespace tesvane::test
