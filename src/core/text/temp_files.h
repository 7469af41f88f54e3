#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

namespace tb {

// Every temporary file and download of the program starts with this, so that what a killed
// process left behind can be told apart from the user's own files.
inline constexpr std::string_view kTempFilePrefix = ".tagberry-tmp-";

// Older than this, a temporary file belongs to no running process.
inline constexpr std::chrono::hours kStaleTempFileAge{1};

// The prefixed name for a temporary file: kTempFilePrefix, then `tail`.
std::string temp_file_name(std::string_view tail);

// Removes the regular files in `folder` whose names start with kTempFilePrefix and that were
// last written more than `age` ago; returns how many. Nothing else is touched.
int remove_stale_temp_files(const std::filesystem::path& folder,
                            std::chrono::seconds age = kStaleTempFileAge);

}  // namespace tb
