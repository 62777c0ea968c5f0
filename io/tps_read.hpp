// The reader of TPS landmark files.
//
// A specimen starts at "LM=k" and its k coordinate lines "x y" follow. The lines after them up
// to the next LM= belong to the same specimen: ID=, IMAGE=, SCALE=, COMMENT=, VARIABLES= and
// CURVES=c, the latter followed by c blocks of "POINTS=m" and m coordinate lines. Keys are whole
// words at the start of a line, in any case; other KEY= lines are passed over. Blank lines are
// ignored. "LM3=" (3D) is refused.
#pragma once

#include <istream>
#include <string>

#include "io/landmark_file_common.hpp"

namespace tesvane {

struct TpsOptions {
    // A negative x or y marks a missing landmark (a convention of some digitizing programs);
    // off, negative coordinates are data.
    bool negative_means_missing = false;
    // Append the curve points to each specimen's landmarks, after them and curve by curve;
    // off, curves are read and dropped.
    bool curves_as_landmarks = false;
};

// Configuration rows x1 y1 ... xk yk cs, one per specimen in file order, coordinates multiplied
// by the specimen's SCALE= when the file gives scales, cs the centroid size of the scaled
// coordinates; the IDs when every specimen has a non-empty ID=. DataFileError naming `name` and
// the line for a malformed file, a 3D file, specimens of different landmark counts, SCALE= on
// some specimens only, and (with negative_means_missing) a missing landmark.
DataFileContents read_tps(std::istream& in, const std::string& name,
                          const TpsOptions& options = {});

}  // namespace tesvane
