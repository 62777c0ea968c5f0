#include "io/mfload.hpp"

#include <filesystem>

#include "io/dload.hpp"
#include "io/landmark_file.hpp"

namespace tesvane {

namespace {

std::optional<LoadedFile> choose(Platform& ui, const std::string& title) {
    const std::optional<FileChoice> choice = ui.open_file_dialog(title, "*.*");
    if (!choice)
        return std::nullopt;
    // The next dialog opens where the user last looked.
    std::error_code ec;
    std::filesystem::current_path(choice->folder, ec);
    LoadedFile f;
    f.path = choice->path();
    f.name = choice->name;
    return f;
}

}  // namespace

std::optional<LoadedFile> mfload3(Platform& ui, const std::string& title) {
    std::optional<LoadedFile> f = choose(ui, title);
    if (f)
        f->data = dload(f->path);
    return f;
}

std::optional<LoadedFile> mfload_block(Platform& ui, bool landmarks, const TpsOptions& tps) {
    std::optional<LoadedFile> f = choose(ui, "Enter file to Load?");
    if (f) {
        DataFileContents c = read_data_file(f->path, landmarks, tps, &f->digest);
        f->data = std::move(c.data);
        f->ids = std::move(c.ids);
    }
    return f;
}

std::optional<LoadedFile> mfload(Platform& ui) {
    return mfload3(ui, "Enter file to Load?");
}

bool is_unreadable(const Matrix& m) {
    return m.size() == 1 && m(0, 0) == -1;
}

}  // namespace tesvane
