#include "text/temp_files.h"

namespace tb {

std::string temp_file_name(std::string_view tail) {
    std::string name(kTempFilePrefix);
    name += tail;
    return name;
}

int remove_stale_temp_files(const std::filesystem::path& folder, std::chrono::seconds age) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator entries(folder.empty() ? fs::path(".") : folder, error);
    if (error) {
        return 0;
    }
    const auto cutoff = fs::file_time_type::clock::now() - age;
    int removed = 0;
    // Stepped with an error code: a folder changing under the walk must not throw.
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        const fs::directory_entry& entry = *entries;
        // The program writes only plain files; a link or a folder of that name is not its own.
        if (!entry.path().filename().string().starts_with(kTempFilePrefix) ||
            !fs::is_regular_file(entry.symlink_status(error))) {
            continue;
        }
        const fs::file_time_type written = entry.last_write_time(error);
        if (!error && written < cutoff && fs::remove(entry.path(), error)) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace tb
