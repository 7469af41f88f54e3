// Quick search over titles, in-process: the program's "like" against SQLite's built-in LIKE over
// the same column of the same N imported links (the first argument, 100,000 without one).
#include <cstdio>

#include "platform/log.h"
#include "platform/reporter.h"
#include "storage/database.h"
#include "support.h"

namespace {

constexpr int kRuns = 7;
constexpr double kGoal = 1.5;
constexpr const char* kQuery =
    "SELECT id FROM tb_links WHERE title LIKE '%linux%' AND title LIKE '%kernel%'";

int count_rows(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    tb::bench::check(sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr) == SQLITE_OK);
    int rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        ++rows;
    }
    sqlite3_finalize(stmt);
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    const int links = tb::bench::links_from_args(argc, argv);
    const std::filesystem::path dir = tb::bench::make_temp_dir();
    const std::filesystem::path data = dir / "data";
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    tb::bench::check(!dir.empty() && tb::bench::prepare_data(links, dir, data));
    tb::SilentReporter reporter;
    tb::log_set_file(dir / "tagberry.log", nullptr);
    tb::Database db(reporter);
    tb::bench::check(db.open_database(data) == tb::OpenStatus::Ok);

    sqlite3* plain = nullptr;
    sqlite3_open_v2(db.file_path().c_str(), &plain, SQLITE_OPEN_READONLY, nullptr);
    int ours = 0;
    int builtin = 0;
    const double program = tb::bench::median_of(kRuns, [&] { ours = count_rows(db.handle()); });
    const double reference = tb::bench::median_of(kRuns, [&] { builtin = count_rows(plain); });
    sqlite3_close(plain);

    tb::bench::print_header(links);
    tb::bench::print_row(
        "quick search, titles (" + std::to_string(ours) + ")", tb::bench::seconds_text(program),
        tb::bench::seconds_text(reference) + " (" + std::to_string(builtin) + ")",
        tb::bench::ratio_text(program / reference, kGoal), program <= kGoal * reference);
    std::filesystem::remove_all(dir);
    return ours == builtin ? 0 : 1;
}
