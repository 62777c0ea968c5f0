// File dialogs that read the chosen file with dload.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "io/sha256.hpp"
#include "io/tps_read.hpp"
#include "platform/matrix.hpp"
#include "platform/platform.hpp"

namespace tesvane {

struct LoadedFile {
    Matrix data;                   // as dload returns it: -1 (1 x 1) when the file cannot be opened
    std::string name;              // the file name without its folder
    std::string path;              // folder and name joined
    std::vector<std::string> ids;  // specimen IDs when the file's format names its specimens
    FileDigest digest;             // of the bytes read (mfload_block)
};

// Shows an open-file dialog (filter "*.*", the given title), makes the chosen folder the current
// directory and reads the file. Nothing when the dialog is cancelled.
std::optional<LoadedFile> mfload3(Platform& ui, const std::string& title);
// As mfload3 with the title "Enter file to Load?".
std::optional<LoadedFile> mfload(Platform& ui);

// As mfload, reading the file in whichever format it is in (read_data_file): landmark
// configurations when `landmarks`, a table of variables otherwise; `tps` says how a TPS file's
// negative coordinates and curves are read.
std::optional<LoadedFile> mfload_block(Platform& ui, bool landmarks, const TpsOptions& tps = {});

// True when dload could not open the file.
bool is_unreadable(const Matrix& m);

}  // namespace tesvane
