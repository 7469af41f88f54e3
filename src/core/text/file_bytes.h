#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "text/byte_steps.h"

namespace tb {

// The whole file as it is on disk; std::nullopt for a folder or a file that cannot be opened or
// read to its end.
std::optional<std::string> read_file_bytes(const std::filesystem::path& file);

// The first `size` bytes of a regular file (fewer when it is shorter), enough to tell its kind by
// its magic number; std::nullopt for anything else or a file that cannot be opened.
std::optional<std::string> read_file_head(const std::filesystem::path& file, std::size_t size);

// The same, read in pieces so that a caller can show progress and stop a long read; std::nullopt
// also when `step` stopped it.
std::optional<std::string> read_file_bytes(const std::filesystem::path& file,
                                           const ByteSteps& step);

}  // namespace tb
