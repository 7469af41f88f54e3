// The link array reload against a bare read of tb_links, and a large folder delete with its purge.
#include <cstdio>
#include <string>
#include <vector>

#include "model/model.h"
#include "platform/log.h"
#include "support.h"

namespace {

constexpr int kFolders = 2000;
constexpr int kLinks = 100000;
constexpr int kDescendants = 5000;

struct Row {
    int id;
    std::string title, url, comment;
    int parent, visits;
    std::int64_t last_visit;
};

void fill(tb::Database& db) {
    {
        tb::Transaction transaction(db);
        for (int f = 0; f < kFolders; ++f) {
            tb::bench::check(db.easy_query(tb::sql_format(
                "INSERT INTO tb_folders (id, title, parent) VALUES ('%d', 'Folder %d', '1')", f + 2,
                f)));
        }
        for (int i = 0; i < kLinks; ++i) {
            // Every tenth address repeats, so the duplicate flags have work to do.
            int host = i % 10 == 0 ? i / 100 : i;
            tb::bench::check(db.easy_query(
                tb::sql_format("INSERT INTO tb_links (title, url, parent, comment) VALUES ('Link "
                               "%d of the bench', "
                               "'https://host%d.example.org/path/page.html', '%d', 'comment')",
                               (i * 7919) % kLinks, host, 2 + i % kFolders)));
        }
        tb::bench::check(transaction.commit());
    }
}

std::vector<Row> bare_read(tb::Database& db, const char* sql) {
    std::vector<Row> rows;
    auto row = db.prepare(sql);
    while (row && row->step() == tb::Step::Row) {
        rows.push_back({row->integer(0), row->text(1), row->text(2), row->text(3), row->integer(4),
                        row->integer(5), row->int64(6)});
    }
    return rows;
}

}  // namespace

int main() {
    const auto dir = tb::bench::make_temp_dir();
    tb::log_set_file(dir / "tagberry.log", nullptr);
    tb::SilentReporter reporter;
    tb::Database db(reporter);
    if (db.open_database(dir) != tb::OpenStatus::Ok) {
        std::fprintf(stderr, "cannot open the database in %s\n", dir.c_str());
        return 1;
    }
    fill(db);
    tb::Model model(db);
    model.journal.set_enabled(true);
    model.load();

    size_t read = 0;
    double reference =
        tb::bench::best_of(5, [&] { read = bare_read(db, "SELECT * FROM tb_links").size(); });
    // The same read through the array's own query, which hides what the journal marks.
    double filtered = tb::bench::best_of(5, [&] {
        bare_read(db,
                  "SELECT * FROM tb_links WHERE id NOT IN (SELECT id FROM tb_undo WHERE action = "
                  "'3') AND parent NOT IN (SELECT id FROM tb_undo WHERE action = '2')");
    });
    int loaded = 0;
    double reload = tb::bench::best_of(5, [&] { loaded = model.links.update_links_array(); });
    std::printf("%zu rows read, %d links loaded\n", read, loaded);
    tb::bench::report("update_links_array, 100000 links", reload, reference, 2.0);
    std::printf("  (bare read with the journal filter: %.4f s)\n", filtered);

    // A chain of folders 20 deep, fanned out to 5,000 descendants under one top folder.
    int top = 0;
    int made = 0;
    {
        tb::Transaction transaction(db);
        top = model.folders.create_folder("Top", tb::kRootFolder);
        std::vector<int> level{top};
        while (made < kDescendants) {
            std::vector<int> next;
            for (int parent : level) {
                for (int k = 0; k < 10 && made < kDescendants; ++k, ++made) {
                    next.push_back(
                        model.folders.create_folder("Sub " + std::to_string(made), parent));
                }
            }
            level = std::move(next);
        }
        tb::bench::check(transaction.commit());
    }
    model.folders.reload();

    auto start = std::chrono::steady_clock::now();
    tb::bench::check(model.folders.delete_folder(top));
    tb::bench::check(model.journal.purge());
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("delete of a folder with %d descendants and purge: %.4f s (target < 0.5 s) %s\n",
                made, elapsed.count(), elapsed.count() < 0.5 ? "OK" : "OVER");
    std::filesystem::remove_all(dir);
    return 0;
}
