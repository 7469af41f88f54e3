#include "exchange/import_driver.h"

#include <cstdlib>

#include "exchange/bookmark_import.h"
#include "exchange/browser_import.h"
#include "exchange/html_harvest.h"
#include "exchange/import_context.h"
#include "exchange/legacy_import.h"
#include "exchange/shortcut_import.h"
#include "platform/messages.h"
#include "storage/backup.h"
#include "storage/ids.h"

#include <pwd.h>
#include <unistd.h>

namespace tb {

namespace {

namespace fs = std::filesystem;

std::string target_or_default(const ImportRequest& request) {
    if (!request.target.empty()) {
        return request.target;
    }
    return default_target_name(request.source, request.path.string());
}

bool dispatch(ImportContext& context, const ImportRequest& request) {
    switch (request.source) {
        case ImportSource::BookmarkFile:
            return import_bookmark_file(context, request.path, target_or_default(request));
        case ImportSource::Favourites: {
            fs::path favourites = favourites_folder_path(context.model.db.reporter());
            return !favourites.empty() && import_directory(context, WalkMode::Shortcuts, favourites,
                                                           target_or_default(request));
        }
        case ImportSource::LegacyDatabase:
            return import_legacy_database(context, request.path);
        case ImportSource::Shortcuts:
            return import_directory(context, WalkMode::Shortcuts, request.path, "");
        case ImportSource::HtmlFile:
            return harvest_html_links(context, request.path, target_or_default(request),
                                      kNothingSelected);
        case ImportSource::HtmlFolder:
            return import_directory(context, WalkMode::HtmlFiles, request.path, "");
        case ImportSource::BrowserProfile:
            return import_browser_profile(context, request.path, request.target,
                                          request.options.update_earlier);
    }
    return false;
}

std::string user_name() {
    if (const char* user = std::getenv("USER"); user != nullptr && *user != '\0') {
        return user;
    }
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr ? entry->pw_name : "";
}

fs::path wine_favourites() {
    fs::path prefix;
    if (const char* wine = std::getenv("WINEPREFIX"); wine != nullptr && *wine != '\0') {
        prefix = wine;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        prefix = fs::path(home) / ".wine";
    } else {
        return {};
    }
    fs::path favourites = prefix / "drive_c" / "users" / user_name() / "Favorites";
    std::error_code ec;
    return fs::is_directory(favourites, ec) ? favourites : fs::path();
}

}  // namespace

ImportResult run_import(Model& model, const ImportRequest& request,
                        const ImportProgress& progress) {
    ImportResult result;
    // The snapshot is taken outside the import's transaction; without it nothing is imported.
    if (!Backups(model.db).create()) {
        return result;
    }
    bool ok = false;
    bool cancelled = false;
    {
        JournalPause pause(model.journal);
        Transaction transaction(model.db);
        ImportContext context(model, request.options, progress);
        ok = transaction.began() && dispatch(context, request);
        cancelled = context.cancelled();
        // A source that fails half-way keeps what it gave; a write that failed dooms the whole
        // import, whatever the importer made of it.
        const bool committed = !cancelled && transaction.commit();
        ok = ok && committed;
        if (committed) {
            result.top_folder = context.top_folder();
            result.top_title = context.top_title();
            result.folders = context.folders_written();
            result.links = context.links_written();
            result.links_present = context.links_present();
            context.log_folders_attached_at_limit();
        }
    }
    model.folders.reload();
    if (cancelled) {
        result.status = ImportStatus::Cancelled;
        return result;
    }
    if (request.source == ImportSource::LegacyDatabase && result.top_folder != 0) {
        model.statistics.calculate_favourites(request.favourites_mode);
    }
    result.status = ok ? ImportStatus::Done : ImportStatus::Failed;
    return result;
}

std::string last_path_component(std::string_view path) {
    std::string_view last;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("\\/", start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        if (end > start) {
            last = path.substr(start, end - start);
        }
        start = end + 1;
    }
    return std::string(last);
}

std::string default_target_name(ImportSource source, std::string_view path) {
    switch (source) {
        case ImportSource::BookmarkFile:
            return "Mozilla Bookmarks";
        case ImportSource::Favourites:
            return "Internet Explorer Bookmarks";
        case ImportSource::LegacyDatabase:
            return "Tagberry 1.x Bookmarks";
        case ImportSource::BrowserProfile: {
            std::optional<BrowserProfile> profile = profile_for_path(path, std::nullopt);
            return profile ? profile_title(*profile) : std::string();
        }
        default:
            return last_path_component(path);
    }
}

std::string proposed_target_name(FolderStore& folders, ImportSource source, std::string_view path) {
    return folders.unique_root_title(default_target_name(source, path));
}

int missing_path_message(ImportSource source, std::string_view path) {
    if (!path.empty()) {
        return 0;
    }
    switch (source) {
        case ImportSource::BookmarkFile:
            return msg::kNoBookmarksPath;
        case ImportSource::LegacyDatabase:
            return msg::kNoLegacyPath;
        case ImportSource::HtmlFile:
        case ImportSource::BrowserProfile:
            return msg::kNoFilePath;
        case ImportSource::Shortcuts:
        case ImportSource::HtmlFolder:
            return msg::kNoFolderPath;
        case ImportSource::Favourites:
            return 0;
    }
    return 0;
}

fs::path favourites_folder_path(Reporter& reporter) {
    fs::path found = wine_favourites();
    if (found.empty()) {
        reporter.report(msg::kNoFavouritesFolder);
    }
    return found;
}

}  // namespace tb
