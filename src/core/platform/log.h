#pragma once

#include <filesystem>
#include <string_view>

namespace tb {

class Reporter;

// How a log line, and a time quoted in one, show the local time.
inline constexpr const char* kLogTimeFormat = "%H:%M:%S %d.%m.%Y";

inline constexpr const char* kLogFileName = "tagberry.log";

// The log file, "tagberry.log" in the data folder until log_set_file() names another. Every line
// is opened, written and closed at once, so an outside viewer can read it at any time.
void log_set_file(const std::filesystem::path& path, Reporter* reporter);
// Back to the data folder's log, with no one to tell of a failure.
void log_reset();

// An empty message writes the 59-hyphen separator; any other one a time-stamped line with the
// message's trailing white space removed.
bool log_append(std::string_view message);

// Starts a fresh log holding only the "Log file cleaned." line.
bool log_clean();

}  // namespace tb
