#include "exchange/shortcut_import.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "exchange/html_harvest.h"
#include "platform/ini_reader.h"
#include "platform/log.h"
#include "storage/ids.h"
#include "text/strings.h"
#include "text/unicode.h"

namespace tb {

namespace {

namespace fs = std::filesystem;

std::string printable(const fs::path& path) {
    return sanitize_utf8(path.string());
}

void log_skipped(const fs::path& path, const char* why) {
    log_append("*** Import: skipped '" + printable(path) + "': " + why);
}

std::string shortcut_url(const IniFile& shortcut) {
    return shortcut.value("InternetShortcut", "URL").value_or(std::string());
}

bool matches(WalkMode mode, std::string_view name, std::string& stem) {
    if (mode == WalkMode::Shortcuts) {
        if (!iends_with_ascii(name, ".url")) {
            return false;
        }
        stem = name.substr(0, name.size() - 4);
        return true;
    }
    return iends_with_ascii(name, ".htm") || iends_with_ascii(name, ".html");
}

class DirectoryWalk {
public:
    DirectoryWalk(ImportContext& context, WalkMode mode) : context_(context), mode_(mode) {}

    // Lists a folder sorted by name; false when it cannot be listed.
    static bool list(const fs::path& folder, std::vector<fs::directory_entry>& entries) {
        std::error_code ec;
        fs::directory_iterator it(folder, ec);
        if (ec) {
            return false;
        }
        for (; it != fs::directory_iterator(); it.increment(ec)) {
            if (ec) {
                return false;
            }
            entries.push_back(*it);
        }
        std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
            return a.path().filename() < b.path().filename();
        });
        return true;
    }

    bool walk(const fs::path& folder, RowId parent) {
        std::vector<fs::directory_entry> entries;
        if (!list(folder, entries)) {
            log_skipped(folder, "the folder cannot be listed");
            return true;
        }
        for (const auto& entry : entries) {
            if (!visit(entry, parent)) {
                return false;
            }
        }
        return true;
    }

private:
    // False once the import is cancelled.
    bool visit(const fs::directory_entry& entry, RowId parent) {
        const std::string name = entry.path().filename().string();
        if (!is_valid_utf8(name)) {
            log_skipped(entry.path(), "the name cannot be decoded");
            return true;
        }
        std::error_code ec;
        const bool is_link = entry.is_symlink(ec);
        const fs::file_status target = fs::status(entry.path(), ec);
        if (is_link && !fs::exists(target)) {
            log_skipped(entry.path(), "broken link");
            return true;
        }
        const bool is_folder = fs::is_directory(target);
        if (is_link && is_folder) {
            log_skipped(entry.path(), "folder links are not followed");
            return true;
        }
        if (context_.options.recursive && is_folder) {
            RowId into = parent;
            if (!context_.options.ignore_structure) {
                into = context_.folder(parent, name);
                if (into == 0) {
                    return true;
                }
            }
            return walk(entry.path(), into);
        }
        std::string stem;
        if (!matches(mode_, name, stem)) {
            return true;
        }
        if (mode_ == WalkMode::Shortcuts) {
            read_internet_shortcut(
                context_, entry.path(),
                context_.options.ignore_structure ? context_.top_folder() : parent, stem);
        } else {
            harvest_html_links(context_, entry.path(), name, parent);
        }
        return context_.item_done();
    }

    ImportContext& context_;
    WalkMode mode_;
};

}  // namespace

std::string internet_shortcut_url(std::string_view text) {
    return shortcut_url(IniFile(text));
}

bool read_internet_shortcut(ImportContext& context, const fs::path& file, RowId folder,
                            const std::string& title) {
    std::string address;
    std::error_code ec;
    // A folder read as a profile gives the default value, an empty address.
    if (!fs::is_directory(file, ec)) {
        std::optional<IniFile> shortcut = IniFile::load(file);
        if (!shortcut) {
            log_skipped(file, "the file cannot be read");
            return false;
        }
        address = utf8_or_cp1251(shortcut_url(*shortcut));
    }
    std::string name = title;
    if (name.empty()) {
        std::string file_name = file.filename().string();
        std::size_t dot = file_name.rfind('.');
        name = dot == std::string::npos ? std::string() : file_name.substr(0, dot);
    }
    return context.insert_link(name, address, "", context.next_link_id(), folder, 0);
}

bool import_directory(ImportContext& context, WalkMode mode, const fs::path& folder,
                      const std::string& top_title) {
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec) || !DirectoryWalk::list(folder, entries)) {
        context.model.db.reporter().report_text(
            TB_TRANSLATE_NOOP("Strings", "Cannot read the disk folder \"%1\"."),
            {printable(folder)});
        return false;
    }
    std::string title = top_title;
    if (title.empty()) {
        title = printable(folder.filename().empty() ? folder.parent_path().filename()
                                                    : folder.filename());
    }
    if (context.create_top_folder(title, false) == 0) {
        return false;
    }
    DirectoryWalk(context, mode).walk(folder, context.top_folder());
    return true;
}

}  // namespace tb
