// Numeric types shared by every layer of the program.
//
// Matrices are Eigen's dense double matrices, indexed from 0 in code. A configuration row
// (x1, y1, ..., xk, yk, cs) is a 1 x (2k+1) Matrix; a landmark block is n such rows.
#pragma once

#include <Eigen/Core>

namespace tesvane {

using Matrix = Eigen::MatrixXd;
using RowVector = Eigen::RowVectorXd;
using ColVector = Eigen::VectorXd;
using Index = Eigen::Index;

}  // namespace tesvane
