#include "io/RefAngleSetup.hpp"

#include <filesystem>

#include "io/dload.hpp"
#include "io/mfload.hpp"
#include "io/number_parse.hpp"
#include "io/read_whole_file.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"

namespace tesvane {

namespace {
const char* const kRefAngleFile = "refanglefile.txt";
}  // namespace

std::string matrix_text(const Matrix& m) {
    std::string s;
    for (Index i = 0; i < m.rows(); ++i) {
        if (i)
            s += '\n';
        for (Index j = 0; j < m.cols(); ++j)
            s += (j ? " " : "") + cformat("%g", m(i, j));
    }
    return s;
}

Matrix RefAngleSetup(Platform& ui) {
    Control* box = ui.find_control("RefAngleBox");
    if (!box)
        return Matrix();
    const std::string text = box->string();
    Matrix angle;
    if (!text.empty() && text[0] == 'a') {
        // The file is optional: without it the displays turn nothing, and nobody is told.
        std::error_code ec;
        if (!std::filesystem::exists("refanglefile.txt", ec)) {
            box->set_string("0");
            return Matrix::Zero(1, 1);
        }
        try {
            // Only a regular file: a FIFO or device of that name would block start-up.
            angle =
                is_regular_file(kRefAngleFile) ? dload(kRefAngleFile) : Matrix::Constant(1, 1, -1);
        } catch (const Error& e) {
            angle = Matrix::Constant(1, 1, -1);
            ui.console(e.what());
        }
        // A missing file would otherwise turn every display by -1 degree.
        if (is_unreadable(angle)) {
            ui.console(
                "refanglefile.txt cannot be read in the start folder (missing or not a regular "
                "file): display rotation 0");
            angle = Matrix::Zero(1, 1);
        }
    } else {
        try {
            const std::vector<double> v = parse_numbers(text);
            angle = Eigen::Map<const Matrix>(v.data(), 1, static_cast<Index>(v.size()));
        } catch (const Error&) {
            return Matrix();  // the text stays as typed; the displays read it again
        }
        return angle;
    }
    box->set_string(matrix_text(angle));
    return angle;
}

}  // namespace tesvane
