// What the landmark file readers and writers share: configuration rows with their centroid
// size, and the specimen IDs that some formats carry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/matrix.hpp"

namespace tesvane {

// A block read from a landmark or variable file, with the specimen IDs when the file names its
// specimens (one per row, in row order; empty when it does not).
struct DataFileContents {
    Matrix data;
    std::vector<std::string> ids;
};

// Configuration rows x1 y1 ... xk yk cs from n x 2k coordinates: cs is the centroid size of
// each row's coordinates (centsize).
Matrix with_centroid_size(const Matrix& coordinates);

// "specimen 3" or, with an ID, "specimen 3 (\"X\")": how messages name row `row` (0-based).
std::string specimen_label(const std::vector<std::string>& ids, Index row);

// IDs kept in one session text, one ID a line.
std::string join_ids(const std::vector<std::string>& ids);
std::vector<std::string> split_ids(const std::string& text);

// The first row (0-based) where two ID lists differ, looked at over the rows both have; nothing
// when they agree there.
std::optional<std::size_t> first_id_mismatch(const std::vector<std::string>& a,
                                             const std::vector<std::string>& b);

}  // namespace tesvane
