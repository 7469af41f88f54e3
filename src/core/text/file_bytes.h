#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tb {

// The whole file as it is on disk; std::nullopt for a folder or a file that cannot be opened or
// read to its end.
std::optional<std::string> read_file_bytes(const std::filesystem::path& file);

}  // namespace tb
