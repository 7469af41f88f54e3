#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "exchange/import_options.h"
#include "model/model.h"

namespace tb {

// The import sources, numbered as the Import Data dialog lists them.
enum class ImportSource {
    BookmarkFile = 0,
    Favourites = 1,
    LegacyDatabase = 2,
    Shortcuts = 3,
    HtmlFile = 4,
    HtmlFolder = 5,
    BrowserProfile = 6,
};

struct ImportRequest {
    ImportSource source = ImportSource::BookmarkFile;
    // The file or disk folder (a browser's profile folder or one of its bookmark files); unused
    // for the Favourites, which are looked up.
    std::filesystem::path path;
    // Title of the top folder for sources 0, 1 and 4 (a free variant of it is used); the
    // others name it themselves. Empty gives the source's default.
    std::string target;
    ImportOptions options;
    // The Most Visited rule, recomputed after a legacy import (whose links carry visits).
    int favourites_mode = 1;
};

enum class ImportStatus { Done, Failed, Cancelled };

struct ImportResult {
    ImportStatus status = ImportStatus::Failed;
    RowId top_folder = 0;
    std::string top_title;
    int folders = 0;  // folders written, the top folder included
    int links = 0;
    int links_present = 0;  // left out as imported before
};

// Runs one import under the import regime: a snapshot of the database first (the import fails
// when it cannot be written), journal off (its state restored on every exit),
// one transaction with synchronous OFF, the folder list and link array reloaded once at the
// end. Cancelling rolls the whole import back.
ImportResult run_import(Model& model, const ImportRequest& request,
                        const ImportProgress& progress = {});

// The last non-empty piece of a path cut at "\" and "/"; a file name keeps its extension.
std::string last_path_component(std::string_view path);

// The dialog's target name before the free-name rule: the fixed names of sources 0 to 2, the
// path's last component for the others (empty without a path).
std::string default_target_name(ImportSource source, std::string_view path);

// The name the dialog proposes: the default made free under the root.
std::string proposed_target_name(FolderStore& folders, ImportSource source, std::string_view path);

// The message that stops the dialog for a missing path (168 to 171), or 0.
int missing_path_message(ImportSource source, std::string_view path);

// The Favourites folder: the registry's on Windows, else the Favorites folder of the Wine
// prefix ($WINEPREFIX, else ~/.wine). Reports 167 and returns an empty path when there is none.
std::filesystem::path favourites_folder_path(Reporter& reporter);

}  // namespace tb
