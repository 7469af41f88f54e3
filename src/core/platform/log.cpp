#include "platform/log.h"

#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

#include "platform/reporter.h"
#include "platform/strings.h"

namespace tb {

namespace {

std::mutex g_mutex;
std::filesystem::path g_path = "tagberry.log";
Reporter* g_reporter = nullptr;

const char kSeparator[] = "-----------------------------------------------------------";

std::string time_stamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    char buffer[128];
    if (localtime_r(&now, &local) == nullptr ||
        std::strftime(buffer, sizeof buffer, "%H:%M:%S %d.%m.%Y", &local) == 0) {
        return {};
    }
    return buffer;
}

std::string entry_line(std::string_view message) {
    size_t end = message.find_last_not_of(" \t\r\n\v\f");
    message = end == std::string_view::npos ? std::string_view() : message.substr(0, end + 1);
    return time_stamp() + "\t" + std::string(message) + "\n";
}

bool write_line(const char* mode, const std::string& line) {
    std::FILE* file = std::fopen(g_path.c_str(), mode);
    bool ok = file != nullptr && std::fputs(line.c_str(), file) >= 0;
    if (file != nullptr && std::fclose(file) != 0) {
        ok = false;
    }
    if (!ok && g_reporter != nullptr) {
        g_reporter->report(msg::kLogCannotOpen);
    }
    return ok;
}

}  // namespace

void log_set_file(const std::filesystem::path& path, Reporter* reporter) {
    std::lock_guard lock(g_mutex);
    g_path = path;
    g_reporter = reporter;
}

std::filesystem::path log_file() {
    std::lock_guard lock(g_mutex);
    return g_path;
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
