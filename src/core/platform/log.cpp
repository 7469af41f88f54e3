#include "platform/log.h"

#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

#include "platform/data_folder.h"

#include "platform/messages.h"
#include "platform/reporter.h"
#include "text/strings.h"
#include "text/time_format.h"

namespace tb {

namespace {

std::mutex g_mutex;
// Unset: the data folder's log, looked up at each line since the folder may be named later.
std::optional<std::filesystem::path> g_path;
Reporter* g_reporter = nullptr;
// A full disk fails every line; the user hears of it once.
bool g_failure_reported = false;

const char kSeparator[] = "-----------------------------------------------------------";

std::string entry_line(std::string_view message) {
    return format_now(kLogTimeFormat) + "\t" + std::string(trim_end(message)) + "\n";
}

std::filesystem::path current_file() {
    return g_path ? *g_path : data_folder() / kLogFileName;
}

bool write_line(const char* mode, const std::string& line) {
    std::FILE* file = std::fopen(current_file().c_str(), mode);
    bool ok = file != nullptr && std::fputs(line.c_str(), file) >= 0;
    if (file != nullptr && std::fclose(file) != 0) {
        ok = false;
    }
    if (!ok && g_reporter != nullptr && !g_failure_reported) {
        g_failure_reported = true;
        g_reporter->report(msg::kLogCannotOpen);
    }
    return ok;
}

}  // namespace

void log_set_file(const std::filesystem::path& path, Reporter* reporter) {
    std::lock_guard lock(g_mutex);
    if (path != g_path) {
        g_failure_reported = false;
    }
    g_path = path;
    g_reporter = reporter;
}

void log_reset() {
    std::lock_guard lock(g_mutex);
    g_path.reset();
    g_reporter = nullptr;
    g_failure_reported = false;
}

bool log_append(std::string_view message) {
    std::lock_guard lock(g_mutex);
    std::string line = message.empty() ? std::string(kSeparator) + "\n" : entry_line(message);
    return write_line("a", line);
}

bool log_clean() {
    std::lock_guard lock(g_mutex);
    return write_line("w", entry_line("Log file cleaned."));
}

}  // namespace tb
