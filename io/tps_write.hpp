// Writing configuration rows, or score rows, as a TPS file.
#pragma once

#include <string>
#include <vector>

#include "platform/matrix.hpp"

namespace tesvane {

// The TPS text of n rows v1 w1 ... vk wk c (configuration rows x y ... cs, or score rows whose
// last value is cs): per row "LM=k", k lines "v w" at full precision, then "ID=" with the row's
// ID when `ids` is given. The last column is not written: a reader computes the centroid size
// again from the coordinates. An Error for an even or too small column count, or for a count
// of IDs that is not the count of rows.
std::string tps_text(const Matrix& rows, const std::vector<std::string>& ids = {});

// tps_text written to `path` in one atomic step.
void writetps(const std::string& path, const Matrix& rows,
              const std::vector<std::string>& ids = {});

}  // namespace tesvane
