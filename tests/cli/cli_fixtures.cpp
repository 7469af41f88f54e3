#include "cli_fixtures.h"

#include <sqlite3.h>

#include <fstream>
#include <functional>

namespace tb::test {

void write_generated_bookmarks(const std::filesystem::path& file, int links,
                               const std::string& tag) {
    constexpr int kLinksPerFolder = 50;
    constexpr int kFoldersPerGroup = 4;
    std::ofstream out(file, std::ios::binary);
    out << "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
           "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
           "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";
    for (int link = 0; link < links;) {
        const int group = link / (kLinksPerFolder * kFoldersPerGroup);
        out << "<DT><H3>Group " << tag << group << "</H3>\n<DL><p>\n";
        for (int part = 0; part < kFoldersPerGroup && link < links; ++part) {
            out << "<DT><H3>Part " << part << "</H3>\n<DL><p>\n";
            for (int n = 0; n < kLinksPerFolder && link < links; ++n, ++link) {
                out << "<DT><A HREF=\"http://" << tag << ".example/" << link << "\">Link " << tag
                    << link << "</A>\n";
            }
            out << "</DL><p>\n";
        }
        out << "</DL><p>\n";
    }
    out << "</DL><p>\n";
}

namespace {

// Runs sql on a connection of its own (read-write, so that it recovers a log left by a kill) and
// hands each row to `row`.
template <typename OnRow>
bool each_row(const std::filesystem::path& file, const std::string& sql, OnRow row) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
    sqlite3_busy_timeout(db, 2000);
    sqlite3_stmt* stmt = nullptr;
    ok = ok && sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK;
    int rc = SQLITE_ROW;
    while (ok && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        row(stmt);
    }
    ok = ok && rc == SQLITE_DONE;
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return ok;
}

}  // namespace

DatabaseProbe::DatabaseProbe(const std::filesystem::path& data_dir) : file_(data_dir / "tb2.db") {}

bool DatabaseProbe::run(const std::string& sql) const {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(file_.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

std::int64_t DatabaseProbe::number(const std::string& sql) const {
    std::int64_t value = -1;
    bool first = true;
    const bool ok = each_row(file_, sql, [&](sqlite3_stmt* stmt) {
        if (first) {
            value = sqlite3_column_int64(stmt, 0);
            first = false;
        }
    });
    return ok ? value : -1;
}

std::string DatabaseProbe::integrity() const {
    std::string result;
    const bool ok = each_row(file_, "PRAGMA integrity_check", [&](sqlite3_stmt* stmt) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        result += text != nullptr ? text : "";
    });
    return ok ? result : "cannot read: " + file_.string();
}

std::string DatabaseProbe::contents() const {
    std::string summary;
    std::string text;
    for (const char* sql :
         {"SELECT quote(id) || quote(title) || quote(parent) || quote(comment) FROM tb_folders "
          "ORDER BY id",
          "SELECT quote(id) || quote(title) || quote(url) || quote(parent) || quote(comment) "
          "FROM tb_links ORDER BY id",
          "SELECT quote(actionID) || quote(action) || quote(id) || quote(parent_from) FROM "
          "tb_undo ORDER BY actionID"}) {
        int rows = 0;
        const bool ok = each_row(file_, sql, [&](sqlite3_stmt* stmt) {
            const auto* row = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            text += row != nullptr ? row : "";
            text += '\n';
            ++rows;
        });
        summary += ok ? std::to_string(rows) + " rows, " : "unreadable, ";
    }
    return summary + "digest " + std::to_string(std::hash<std::string>{}(text));
}

}  // namespace tb::test
