#pragma once

#include <filesystem>
#include <optional>

namespace tb {

// The user's documents folder: XDG_DOCUMENTS_DIR from ~/.config/user-dirs.dirs, else ~/Documents,
// else the home folder.
std::filesystem::path documents_folder();

// TAGBERRY_DATA_DIR when set, else documents + "/Tagberry Data". An explicit folder wins.
std::filesystem::path data_folder(const std::optional<std::filesystem::path>& explicit_folder = {});

}  // namespace tb
