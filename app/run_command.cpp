#include "app/run_command.hpp"

#include <filesystem>
#include <ostream>

#include "geometry/getconsensus.hpp"
#include "geometry/getpsup.hpp"
#include "geometry/getpw_arbit.hpp"
#include "io/dload.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/scalar.hpp"

namespace tesvane {
namespace {

Matrix load_block(const std::string& path) {
    Matrix m = dload(path);
    if (m.size() == 1 && m(0, 0) == -1)
        throw Error(path + ": the file cannot be opened");
    return m;
}

std::string file_name(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string landmark_summary(const std::string& path, const Matrix& m) {
    return cformat("File: %s \n %3.0f Specimens \n %3.0f Landmarks", file_name(path).c_str(),
                   static_cast<double>(m.rows()), static_cast<double>(m.cols() - 1) / 2);
}

std::string variable_summary(const std::string& path, const Matrix& m) {
    return cformat("Block2-Not LM \nFile: %s \n %3.0f Specimens \n %3.0f Variables",
                   file_name(path).c_str(), static_cast<double>(m.rows()),
                   static_cast<double>(m.cols()));
}

Matrix stack(const Matrix& a, const Matrix& b) {
    if (a.cols() != b.cols())
        throw Error("the two groups have different numbers of landmarks (" +
                    std::to_string((a.cols() - 1) / 2) + " and " +
                    std::to_string((b.cols() - 1) / 2) + ")");
    Matrix s(a.rows() + b.rows(), a.cols());
    s << a, b;
    return s;
}

// The pooled consensus of two groups' blocks, rounded to four decimals.
Matrix pooled_reference(const Matrix& a, const Matrix& b) {
    Matrix ref = getconsensus(stack(a, b)).reference;
    return ref.unaryExpr([](double v) { return round_half_away(10000.0 * v) / 10000.0; });
}

void print_row(std::ostream& out, const char* label, const Matrix& row) {
    out << label;
    for (Index j = 0; j < row.size(); ++j)
        out << cformat(" %g", row(j));
    out << '\n';
}

void print_scores(std::ostream& out, const char* label, const Matrix& pw) {
    out << cformat("%s: %i specimens x %i scores (%i partial-warp scores, 2 uniform, cs)\n", label,
                   static_cast<int>(pw.rows()), static_cast<int>(pw.cols()),
                   static_cast<int>(pw.cols() - 3));
}

}  // namespace

int run_analysis(const RunOptions& o, std::ostream& out, std::ostream& err) {
    try {
        const Matrix g1b1 = load_block(o.g1b1), g2b1 = load_block(o.g2b1);
        const Matrix g1b2 = load_block(o.g1b2), g2b2 = load_block(o.g2b2);
        out << landmark_summary(o.g1b1, g1b1) << "\n\n" << landmark_summary(o.g2b1, g2b1) << "\n\n";
        if (o.block2_landmarks)
            out << "Block2-LM \n"
                << landmark_summary(o.g1b2, g1b2) << "\n\n"
                << "Block2-LM \n"
                << landmark_summary(o.g2b2, g2b2) << "\n\n";
        else
            out << variable_summary(o.g1b2, g1b2) << "\n\n"
                << variable_summary(o.g2b2, g2b2) << "\n\n";

        const Matrix reference1 = pooled_reference(g1b1, g2b1);
        print_row(out, "Block 1 reference:", reference1);
        print_scores(out, "Group 1 block 1", getpw_arbit(reference1, getpsup(g1b1, reference1)));
        print_scores(out, "Group 2 block 1", getpw_arbit(reference1, getpsup(g2b1, reference1)));
        if (o.block2_landmarks) {
            const Matrix reference2 = pooled_reference(g1b2, g2b2);
            print_row(out, "Block 2 reference:", reference2);
            print_scores(out, "Group 1 block 2",
                         getpw_arbit(reference2, getpsup(g1b2, reference2)));
            print_scores(out, "Group 2 block 2",
                         getpw_arbit(reference2, getpsup(g2b2, reference2)));
        }
        return 0;
    } catch (const Error& e) {
        err << "tesvane: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace tesvane
