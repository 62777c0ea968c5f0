// What a picture of the Show step says about itself: axis titles, legend, caption.
#pragma once

#include <string>

#include "platform/app_context.hpp"

namespace tesvane {

// The facts of one drawn picture that its labels name.
struct PictureFacts {
    int plot_type = 1;  // 1 ... 24 of the Plot list, 25 the score plot
    int axis = 1;
    int deftype = 1;  // deformation plot type of single-axis pictures
    bool block2_landmarks = true;
    bool on_template = false;
    bool homology2 = true;  // block 2 superimposed on one consensus of both groups
    double alpha = 0.05;    // level of the bootstrap's bounds (plot types 26 and 27)
    // How far the drawn target lies from the reference, as the caption says it
    // ("target at 1 × the unit-length axis").
    std::string magnitude;
};

// Gives the picture just drawn by ShowAxis its axis titles, legend entries and caption, with
// the groups named as group_name names them. Deformation pictures are marked as such (their
// coordinates are arbitrary); filled contours get their colour bar's title.
void label_picture(AppContext& ctx, const PictureFacts& facts);

// The caption of a picture, as label_picture writes it.
std::string picture_caption(AppContext& ctx, const PictureFacts& facts);

}  // namespace tesvane
