#include "io/tps_read.hpp"

#include <cmath>
#include <string_view>
#include <vector>

#include "io/landmark_file_lines.hpp"
#include "io/number_parse.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

struct Specimen {
    int line = 0;               // of its LM=
    std::vector<double> xy;     // landmarks, then appended curve points
    std::vector<int> xy_lines;  // file line of each point
    std::string id;
    bool has_scale = false;  // a SCALE= line with a value
    double scale = 1.0;
    int scale_line = 0;
};

class TpsParser {
  public:
    TpsParser(const std::vector<std::string>& lines, const std::string& name,
              const TpsOptions& options)
        : lines_(lines), name_(name), options_(options) {}

    std::vector<Specimen> parse() {
        std::vector<Specimen> specimens;
        while (next_nonblank()) {
            const int line = line_number();
            const KeyLine k = key_line(lines_[at_]);
            ++at_;
            if (iequals(k.key, "LM3"))
                throw DataFileError(name_, line, "3D landmarks are not supported (LM3=)");
            if (iequals(k.key, "LM")) {
                Specimen s;
                s.line = line;
                const int n = count(k, line, "LM=");
                if (n < 1)
                    throw DataFileError(name_, line, "LM= needs at least one landmark");
                read_points(n, s, true, "landmark");
                specimens.push_back(std::move(s));
                continue;
            }
            if (specimens.empty()) {
                throw DataFileError(name_, line,
                                    "expected LM= at the start of a specimen, found " +
                                        quote_token(trim(lines_[at_ - 1])));
            }
            Specimen& s = specimens.back();
            if (iequals(k.key, "CURVES")) {
                read_curves(count(k, line, "CURVES="), s);
            } else if (iequals(k.key, "POINTS")) {
                throw DataFileError(name_, line, "POINTS= outside a CURVES= block");
            } else if (iequals(k.key, "ID")) {
                s.id = std::string(k.value);
            } else if (iequals(k.key, "SCALE")) {
                s.scale_line = line;
                if (!k.value.empty()) {
                    s.scale = number_at(k.value, name_, line);
                    if (!(s.scale > 0))
                        throw DataFileError(name_, line, "SCALE= must be a positive number");
                    s.has_scale = true;
                }
            } else if (k.key.empty()) {
                throw DataFileError(name_, line,
                                    "expected a KEY= line or the LM= of the next specimen, found " +
                                        quote_token(trim(lines_[at_ - 1])));
            }
            // IMAGE=, COMMENT=, VARIABLES= and other programs' keys carry nothing we use.
        }
        return specimens;
    }

  private:
    bool next_nonblank() {
        while (at_ < lines_.size() && trim(lines_[at_]).empty())
            ++at_;
        return at_ < lines_.size();
    }
    int line_number() const { return static_cast<int>(at_) + 1; }

    int count(const KeyLine& k, int line, const char* what) const {
        const ParsedNumber p = parse_number(k.value);
        if (p.status != NumberStatus::ok || p.value < 0 || p.value != std::floor(p.value) ||
            p.value > 1e6) {
            throw DataFileError(
                name_, line, std::string(what) + " needs a count, found " + quote_token(k.value));
        }
        return static_cast<int>(p.value);
    }

    // n coordinate lines "x y"; kept when `keep`.
    void read_points(int n, Specimen& s, bool keep, const char* what) {
        for (int j = 1; j <= n; ++j) {
            if (!next_nonblank()) {
                throw DataFileError(name_, static_cast<int>(lines_.size()),
                                    "the file ends after " + std::to_string(j - 1) + " of " +
                                        std::to_string(n) + " " + what + " lines");
            }
            const int line = line_number();
            const std::vector<std::string_view> w = split_blanks(lines_[at_]);
            ++at_;
            if (w.size() != 2) {
                throw DataFileError(name_, line,
                                    "expected the x y coordinates of " + std::string(what) + " " +
                                        std::to_string(j) + ", found " + std::to_string(w.size()) +
                                        " values");
            }
            const double x = number_at(w[0], name_, line);
            const double y = number_at(w[1], name_, line);
            if (keep) {
                s.xy.push_back(x);
                s.xy.push_back(y);
                s.xy_lines.push_back(line);
            }
        }
    }

    void read_curves(int curves, Specimen& s) {
        for (int c = 1; c <= curves; ++c) {
            const int line = next_nonblank() ? line_number() : static_cast<int>(lines_.size());
            const KeyLine k = at_ < lines_.size() ? key_line(lines_[at_]) : KeyLine{};
            if (!iequals(k.key, "POINTS")) {
                throw DataFileError(name_, line,
                                    "expected POINTS= of curve " + std::to_string(c) + " of " +
                                        std::to_string(curves));
            }
            ++at_;
            read_points(count(k, line, "POINTS="), s, options_.curves_as_landmarks, "curve point");
        }
    }

    const std::vector<std::string>& lines_;
    const std::string& name_;
    const TpsOptions& options_;
    std::size_t at_ = 0;
};

}  // namespace

DataFileContents read_tps(std::istream& in, const std::string& name, const TpsOptions& options) {
    const std::vector<std::string> lines = read_text_lines(in, name);
    const std::vector<Specimen> specimens = TpsParser(lines, name, options).parse();
    if (specimens.empty())
        throw DataFileError(name, 0, "the file holds no specimen (no LM= line)");

    const std::size_t values = specimens[0].xy.size();
    bool any_scale = false;
    bool all_ids = true;
    for (const Specimen& s : specimens) {
        any_scale = any_scale || s.has_scale;
        all_ids = all_ids && !s.id.empty();
    }
    std::vector<std::string> names;  // for messages: what each specimen calls itself
    for (const Specimen& s : specimens)
        names.push_back(s.id);
    DataFileContents out;
    if (all_ids)
        out.ids = names;

    Matrix xy(static_cast<Index>(specimens.size()), static_cast<Index>(values));
    for (std::size_t i = 0; i < specimens.size(); ++i) {
        const Specimen& s = specimens[i];
        const auto row = static_cast<Index>(i);
        if (s.xy.size() != values) {
            throw DataFileError(name, s.line,
                                specimen_label(names, row) + " has " +
                                    std::to_string(s.xy.size() / 2) +
                                    " landmarks, specimen 1 has " + std::to_string(values / 2));
        }
        if (any_scale && !s.has_scale) {
            throw DataFileError(
                name, s.scale_line ? s.scale_line : s.line,
                specimen_label(names, row) + " has no SCALE= value, but other specimens have one");
        }
        for (std::size_t j = 0; j < values; j += 2) {
            if (options.negative_means_missing && (s.xy[j] < 0 || s.xy[j + 1] < 0)) {
                throw DataFileError(name, s.xy_lines[j / 2],
                                    specimen_label(names, row) + ": landmark " +
                                        std::to_string(j / 2 + 1) +
                                        " is missing (negative coordinates); missing landmarks "
                                        "are not estimated");
            }
        }
        for (std::size_t j = 0; j < values; ++j)
            xy(row, static_cast<Index>(j)) = s.xy[j] * s.scale;
    }
    out.data = with_centroid_size(xy);
    for (Index i = 0; i < out.data.rows(); ++i) {
        if (!out.data.row(i).allFinite()) {
            throw DataFileError(
                name, specimens[static_cast<std::size_t>(i)].line,
                specimen_label(names, i) + ": the coordinates are too large to be used");
        }
    }
    return out;
}

}  // namespace tesvane
