// Quick search and bookmark export over 100,000 links, each against a reference measured in the
// same run: the same three-pass search with SQLite's built-in LIKE on a plain connection, and
// one buffered write of a file of the export's size.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "exchange/bookmark_export.h"
#include "model/model.h"
#include "platform/log.h"
#include "search/search_engine.h"
#include "support.h"

namespace {

constexpr int kLinks = 100000;

// The same three passes with the engine's own LIKE on a connection without the program's one.
size_t builtin_like_search(const std::filesystem::path& file) {
    sqlite3* plain = nullptr;
    sqlite3_open_v2(file.c_str(), &plain, SQLITE_OPEN_READONLY, nullptr);
    std::set<int> ids;
    for (const char* column : {"title", "url", "comment"}) {
        const std::string sql = tb::sql_format(
            "SELECT id FROM tb_links WHERE %s LIKE '%%linux%%' AND %s LIKE '%%kernel%%' AND %s "
            "LIKE '%%release%%' ",
            column, column, column);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(plain, sql.c_str(), -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            ids.insert(sqlite3_column_int(stmt, 0));
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(plain);
    return ids.size();
}

// Seconds taken by write, after the file it writes was removed: every run writes a new file.
double time_fresh(const std::filesystem::path& file, const std::function<void()>& write) {
    std::filesystem::remove(file);
    return tb::bench::best_of(1, write);
}

}  // namespace

int main() {
    const std::filesystem::path dir = tb::bench::make_temp_dir();
    tb::SilentReporter reporter;
    tb::log_set_file(dir / "tagberry.log", nullptr);
    tb::Database db(reporter);
    if (db.open_database(dir / "data") != tb::OpenStatus::Ok) {
        std::fprintf(stderr, "cannot create the database\n");
        return 1;
    }
    tb::bench::fill_links(db, kLinks);
    tb::Model model(db);
    model.load();
    // As after any change in the program: the array is reloaded over the records of the last load.
    tb::QueryHistory history(db);
    tb::SearchEngine engine(model, history);

    int found = 0;
    const double search = tb::bench::best_of(
        5, [&] { found = engine.quick_search("linux kernel release").value_or(-1); });
    size_t reference_found = 0;
    const double like =
        tb::bench::best_of(5, [&] { reference_found = builtin_like_search(db.file_path()); });
    std::printf("quick search found %d links, built-in LIKE %zu\n", found, reference_found);
    tb::bench::report("quick search 'linux kernel release'", search, like, 3.0);

    // Every run writes a new file, as the reference does: replacing a file of this size would
    // add the freeing of the old one to either side. Earlier writes (the database, a build just
    // before) are flushed first, so that writing them back does not compete with either side,
    // and the runs of the two sides take turns, so that a busy moment does not favour one.
    ::sync();
    const auto exported = dir / "export.html";
    tb::export_bookmarks(model, exported, 0);
    const auto size = std::filesystem::file_size(exported);
    const std::string same_size(size, 'x');
    const auto plain_file = dir / "plain.html";
    double export_time = std::numeric_limits<double>::max();
    double write_time = std::numeric_limits<double>::max();
    for (int run = 0; run < 9; ++run) {
        export_time = std::min(
            export_time, time_fresh(exported, [&] { tb::export_bookmarks(model, exported, 0); }));
        write_time = std::min(write_time, time_fresh(plain_file, [&] {
                                  std::ofstream out(plain_file, std::ios::binary | std::ios::trunc);
                                  out.write(same_size.data(),
                                            static_cast<std::streamsize>(same_size.size()));
                              }));
    }
    std::printf("export of %d links: %ju bytes\n", kLinks, static_cast<uintmax_t>(size));
    tb::bench::report("export all links", export_time, write_time, 3.0);

    db.close_database();
    std::filesystem::remove_all(dir);
    return 0;
}
