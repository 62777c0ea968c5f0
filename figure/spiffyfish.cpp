#include "figure/spiffyfish.hpp"

#include <limits>

namespace tesvane {

Matrix spiffyfish_picture() {
    // '.' transparent, '1' black, '2' white.
    static const char* const rows[16] = {
        "................", ".......1........", "......121......1", ".....1221.....11",
        "...1111111...121", "..122222221.1221", ".122122222212221", "1111222222222221",
        "....122222222221", "111122222221.221", ".122222222211221", "..122222221..121",
        "...1111111....11", ".....1221......1", "......121.......", ".......11.......",
    };
    Matrix m(16, 16);
    for (Index r = 0; r < 16; ++r) {
        for (Index c = 0; c < 16; ++c) {
            const char p = rows[r][c];
            m(r, c) = p == '.' ? std::numeric_limits<double>::quiet_NaN() : p - '0';
        }
    }
    return m;
}

void spiffyfish(fig::Figure& window) {
    window.pointer = "custom";
    window.pointer_shape = spiffyfish_picture();
    window.changed();
}

}  // namespace tesvane
