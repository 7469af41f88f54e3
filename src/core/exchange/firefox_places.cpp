#include "exchange/firefox_places.h"

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace tb {

namespace {

namespace fs = std::filesystem;

constexpr int kBookmarkType = 1;
constexpr int kFolderType = 2;
constexpr std::string_view kPlaceQueryPrefix = "place:";

// A fresh folder under the system's temporary folder, removed with its contents.
class TemporaryCopyFolder {
public:
    TemporaryCopyFolder() {
        std::random_device random;
        std::error_code ec;
        fs::path base = fs::temp_directory_path(ec);
        for (int attempt = 0; attempt < 16 && path_.empty(); ++attempt) {
            fs::path candidate = base / ("tagberry-places-" + std::to_string(random()));
            if (fs::create_directory(candidate, ec)) {
                path_ = candidate;
            }
        }
    }
    ~TemporaryCopyFolder() {
        std::error_code ec;
        if (!path_.empty()) {
            fs::remove_all(path_, ec);
        }
    }
    TemporaryCopyFolder(const TemporaryCopyFolder&) = delete;
    TemporaryCopyFolder& operator=(const TemporaryCopyFolder&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

struct Connection {
    sqlite3* handle = nullptr;
    ~Connection() { sqlite3_close(handle); }
};

struct Row {
    std::int64_t id = 0;
    int type = 0;
    std::string title;
    std::string url;
    std::string guid;
};

class PlacesReader {
public:
    PlacesReader(sqlite3* db, std::string name, Reporter& reporter)
        : db_(db), name_(std::move(name)), reporter_(reporter) {}

    std::optional<BrowserItem> read();

private:
    bool has_columns(const char* table, std::initializer_list<const char*> columns);
    bool load_rows();
    void load_root_names();
    std::optional<std::string> root_title(const Row& row) const;
    const std::vector<Row>* take_children(std::int64_t parent);
    std::optional<BrowserItem> item_of(const Row& row, bool at_top) const;
    BrowserItem read_tree(std::int64_t top_id, BrowserItem top);
    void report_engine_error();

    sqlite3* db_;
    std::string name_;
    Reporter& reporter_;
    bool has_guid_ = false;
    std::int64_t places_root_ = 0;
    std::map<std::int64_t, std::vector<Row>> children_;
    std::map<std::int64_t, std::string> root_names_;
    // Folders whose children were taken: a damaged table that repeats an id cannot loop.
    std::set<std::int64_t> taken_;
};

bool PlacesReader::has_columns(const char* table, std::initializer_list<const char*> columns) {
    for (const char* column : columns) {
        int rc = sqlite3_table_column_metadata(db_, nullptr, table, column, nullptr, nullptr,
                                               nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            return false;
        }
    }
    return true;
}

void PlacesReader::report_engine_error() {
    int code = sqlite3_errcode(db_) & 0xFF;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
        reporter_.report_text(
            TB_TRANSLATE_NOOP("Strings",
                              "The browser database %1 is locked. Close the browser and try "
                              "again."),
            {name_});
    } else {
        reporter_.report_text(
            TB_TRANSLATE_NOOP("Strings", "The browser database %1 cannot be read: %2"),
            {name_, sqlite3_errmsg(db_)});
    }
}

// Every bookmark row with its address, in the browser's order within each folder. The address
// is an outer join: a folder has none, and a damaged row without its place still shows up.
bool PlacesReader::load_rows() {
    std::string sql =
        "SELECT b.id, b.type, b.parent, b.title, p.title, p.url, " +
        std::string(has_guid_ ? "b.guid" : "NULL") +
        " FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk ORDER BY b.parent, "
        "b.position, b.id";
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        report_engine_error();
        return false;
    }
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> guard(stmt, sqlite3_finalize);
    auto text = [stmt](int column) {
        const unsigned char* value = sqlite3_column_text(stmt, column);
        return value != nullptr ? std::string(reinterpret_cast<const char*>(value)) : std::string();
    };
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        Row row;
        row.id = sqlite3_column_int64(stmt, 0);
        row.type = sqlite3_column_int(stmt, 1);
        const std::int64_t parent = sqlite3_column_int64(stmt, 2);
        // A bookmark without a title of its own shows the page's title.
        row.title = sqlite3_column_type(stmt, 3) != SQLITE_NULL ? text(3) : text(4);
        row.url = text(5);
        row.guid = text(6);
        if (parent == 0 && row.type == kFolderType && places_root_ == 0) {
            places_root_ = row.id;
        }
        children_[parent].push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        report_engine_error();
        return false;
    }
    return true;
}

// Databases older than the fixed root ids list the roots by name in a table of their own.
void PlacesReader::load_root_names() {
    if (!has_columns("moz_bookmarks_roots", {"root_name", "folder_id"})) {
        return;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT folder_id, root_name FROM moz_bookmarks_roots", -1, &stmt,
                           nullptr) != SQLITE_OK) {
        return;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const unsigned char* name = sqlite3_column_text(stmt, 1);
        if (name != nullptr) {
            root_names_[sqlite3_column_int64(stmt, 0)] = reinterpret_cast<const char*>(name);
        }
    }
    sqlite3_finalize(stmt);
}

std::optional<std::string> PlacesReader::root_title(const Row& row) const {
    struct Root {
        const char* guid;
        const char* old_name;
        const char* title;  // empty: not imported
    };
    static constexpr std::array<Root, 5> kRoots{{
        {"menu________", "menu", "Bookmarks Menu"},
        {"toolbar_____", "toolbar", "Bookmarks Toolbar"},
        {"unfiled_____", "unfiled", "Other Bookmarks"},
        {"mobile______", "mobile", "Mobile Bookmarks"},
        {"tags________", "tags", ""},
    }};
    auto named = root_names_.find(row.id);
    for (const Root& root : kRoots) {
        if (row.guid == root.guid ||
            (named != root_names_.end() && named->second == root.old_name)) {
            if (*root.title == '\0') {
                return std::nullopt;
            }
            return std::string(root.title);
        }
    }
    return row.title;
}

const std::vector<Row>* PlacesReader::take_children(std::int64_t parent) {
    auto rows = children_.find(parent);
    if (rows == children_.end() || !taken_.insert(parent).second) {
        return nullptr;
    }
    return &rows->second;
}

// A row as an item without its children, or nothing when it is left out.
std::optional<BrowserItem> PlacesReader::item_of(const Row& row, bool at_top) const {
    BrowserItem item;
    item.title = row.title;
    item.guid = row.guid;
    if (row.type == kBookmarkType) {
        if (row.url.empty() || row.url.starts_with(kPlaceQueryPrefix)) {
            return std::nullopt;
        }
        item.url = row.url;
        return item;
    }
    if (row.type != kFolderType) {
        return std::nullopt;
    }
    if (at_top) {
        std::optional<std::string> title = root_title(row);
        if (!title) {
            return std::nullopt;
        }
        item.title = std::move(*title);
    }
    item.is_folder = true;
    return item;
}

// The rows below `top_id` put into `top`. The walk keeps a stack of its own, since a table may
// nest far deeper than the call stack reaches.
BrowserItem PlacesReader::read_tree(std::int64_t top_id, BrowserItem top) {
    struct Open {
        const std::vector<Row>* rows;
        std::size_t next = 0;
    };
    BrowserTreeBuilder tree(std::move(top), 0);
    std::vector<Open> open{{take_children(top_id)}};
    while (!open.empty()) {
        Open& at = open.back();
        if (at.rows == nullptr || at.next == at.rows->size()) {
            open.pop_back();
            tree.close_folder();
            continue;
        }
        const Row& row = (*at.rows)[at.next++];
        std::optional<BrowserItem> item = item_of(row, open.size() == 1);
        if (!item) {
            continue;
        }
        if (!item->is_folder) {
            tree.add(std::move(*item));
            continue;
        }
        tree.open_folder(std::move(*item));
        open.push_back({take_children(row.id)});
    }
    return tree.finish();
}

std::optional<BrowserItem> PlacesReader::read() {
    if (!has_columns("moz_bookmarks", {"id", "type", "fk", "parent", "position", "title"}) ||
        !has_columns("moz_places", {"id", "url", "title"})) {
        int code = sqlite3_errcode(db_) & 0xFF;
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED || code == SQLITE_CORRUPT ||
            code == SQLITE_NOTADB) {
            report_engine_error();
        } else {
            reporter_.report_text(
                TB_TRANSLATE_NOOP("Strings",
                                  "%1 is not a browser bookmark database of a known version."),
                {name_});
        }
        return std::nullopt;
    }
    has_guid_ = has_columns("moz_bookmarks", {"guid"});
    load_root_names();
    if (!load_rows()) {
        return std::nullopt;
    }
    BrowserItem tree;
    tree.is_folder = true;
    return places_root_ != 0 ? read_tree(places_root_, std::move(tree)) : tree;
}

// The -wal or -journal file beside `file`, copied beside `copy` under the copy's name.
bool copy_companion(const fs::path& file, const fs::path& copy, const char* suffix) {
    fs::path companion = file;
    companion += suffix;
    std::error_code ec;
    if (!fs::exists(companion, ec)) {
        return true;
    }
    fs::path target = copy;
    target += suffix;
    return fs::copy_file(companion, target, ec);
}

}  // namespace

std::optional<BrowserItem> read_places_database(const fs::path& file, Reporter& reporter) {
    const std::string name = file.string();
    TemporaryCopyFolder folder;
    std::error_code ec;
    fs::path copy = folder.path() / "places.sqlite";
    if (folder.path().empty() || !fs::copy_file(file, copy, ec) ||
        !copy_companion(file, copy, "-wal") || !copy_companion(file, copy, "-journal")) {
        reporter.report_text(TB_TRANSLATE_NOOP("Strings", "Cannot read %1: %2"),
                             {name, ec ? ec.message() : std::string()});
        return std::nullopt;
    }
    Connection connection;
    int rc =
        sqlite3_open_v2(copy.string().c_str(), &connection.handle, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        reporter.report_text(
            TB_TRANSLATE_NOOP("Strings", "The browser database %1 cannot be read: %2"),
            {name, sqlite3_errstr(rc)});
        return std::nullopt;
    }
    sqlite3_db_config(connection.handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(connection.handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    return PlacesReader(connection.handle, name, reporter).read();
}

}  // namespace tb
