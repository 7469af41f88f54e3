// The program's "like" against SQLite's built-in LIKE, on the same 100,000 links in the same run.
#include <cstdio>

#include "platform/log.h"
#include "storage/database.h"
#include "support.h"

namespace {

constexpr int kLinks = 100000;
constexpr const char* kQuery =
    "SELECT id FROM tb_links WHERE title LIKE '%linux%' AND title LIKE '%kernel%'";

int count_rows(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr);
    int rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        ++rows;
    }
    sqlite3_finalize(stmt);
    return rows;
}

}  // namespace

int main() {
    const std::filesystem::path dir = tb::bench::make_temp_dir();
    tb::SilentReporter reporter;
    tb::log_set_file(dir / "tagberry.log", nullptr);
    tb::Database db(reporter);
    if (db.open_database(dir) != tb::OpenStatus::Ok) {
        std::fprintf(stderr, "cannot create the database\n");
        return 1;
    }
    tb::bench::fill_links(db, kLinks);

    sqlite3* plain = nullptr;
    sqlite3_open_v2(db.file_path().c_str(), &plain, SQLITE_OPEN_READONLY, nullptr);
    int ours = 0;
    int builtin = 0;
    const double program = tb::bench::best_of(7, [&] { ours = count_rows(db.handle()); });
    const double reference = tb::bench::best_of(7, [&] { builtin = count_rows(plain); });
    sqlite3_close(plain);
    std::printf("%d rows with the program's like, %d with the built-in LIKE\n", ours, builtin);
    tb::bench::report("title LIKE '%linux%' AND title LIKE '%kernel%'", program, reference, 3.0);
    std::filesystem::remove_all(dir);
    return ours == builtin ? 0 : 1;
}
