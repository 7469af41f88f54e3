// Quick search and bookmark export over 100,000 links, each against a reference measured in the
// same run: the same three-pass search with SQLite's built-in LIKE on a plain connection, and
// one buffered write of a file of the export's size.
#include <cstdio>
#include <fstream>
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
const char* const kWords[] = {
    "linux",   "kernel",  "python",    "rust",   "release",  "notes",    "guide",  "tutorial",
    "news",    "open",    "source",    "free",   "software", "database", "sqlite", "search",
    "engine",  "music",   "video",     "recipe", "travel",   "flights",  "hotel",  "weather",
    "science", "physics", "history",   "map",    "photo",    "design",   "game",   "review",
    "docs",    "api",     "reference", "blog",   "forum",    "shop",     "book",   "library",
    "cloud",   "backup",  "новости",   "погода", "музыка",   "рецепт",   "карта",  "книги"};
constexpr int kWordCount = sizeof(kWords) / sizeof(kWords[0]);

// A small deterministic generator, so every run builds the same database.
struct Random {
    unsigned long long state = 1;
    int next(int bound) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((state >> 33) % static_cast<unsigned long long>(bound));
    }
};

std::string phrase(Random& rng, int min_words, int max_words) {
    std::string text;
    const int n = min_words + rng.next(max_words - min_words + 1);
    for (int i = 0; i < n; ++i) {
        text += (i ? " " : "") + std::string(kWords[rng.next(kWordCount)]);
    }
    text[0] = static_cast<char>(text[0] >= 'a' && text[0] <= 'z' ? text[0] - 32 : text[0]);
    return text;
}

// About 2,500 folders nested up to six levels, 40 links each, inserted directly.
void fill(tb::Database& db) {
    Random rng;
    db.set_bulk_mode(true);
    std::vector<int> folders{tb::kRootFolder};
    std::vector<int> depth{0};
    int next_folder = 2;
    for (int i = 0; i < kLinks; ++i) {
        if (i % 40 == 0) {
            int parent_at = rng.next(static_cast<int>(folders.size()));
            while (depth[parent_at] >= 6) {
                parent_at = rng.next(static_cast<int>(folders.size()));
            }
            db.easy_query(tb::sql_format(
                "INSERT INTO tb_folders (id, title, parent) VALUES ('%d', '%q %d', '%d')",
                next_folder, phrase(rng, 1, 3).c_str(), next_folder, folders[parent_at]));
            folders.push_back(next_folder++);
            depth.push_back(depth[parent_at] + 1);
        }
        const std::string url = "https://www." + std::string(kWords[rng.next(42)]) + ".example/" +
                                std::string(kWords[rng.next(42)]) + "/" +
                                std::to_string(rng.next(kLinks));
        const std::string comment = rng.next(4) == 0 ? phrase(rng, 2, 8) : std::string();
        db.easy_query(tb::sql_format(
            "INSERT INTO tb_links (title, url, comment, parent) VALUES ('%q', '%q', '%q', '%d')",
            phrase(rng, 2, 6).c_str(), url.c_str(), comment.c_str(), folders.back()));
    }
    db.set_bulk_mode(false);
}

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
    fill(db);
    tb::Model model(db);
    model.load();
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

    const auto exported = dir / "export.html";
    const double export_time =
        tb::bench::best_of(3, [&] { tb::export_bookmarks(model, exported, 0); });
    const auto size = std::filesystem::file_size(exported);
    const std::string same_size(size, 'x');
    const auto plain_file = dir / "plain.html";
    const double write_time = tb::bench::best_of(3, [&] {
        std::ofstream out(plain_file, std::ios::binary | std::ios::trunc);
        out.write(same_size.data(), static_cast<std::streamsize>(same_size.size()));
    });
    std::printf("export of %d links: %ju bytes\n", kLinks, static_cast<uintmax_t>(size));
    // Where the time goes: the file text alone (database read and formatting).
    std::string text;
    const double text_time =
        tb::bench::best_of(3, [&] { text = tb::bookmark_file_text(model, 0); });
    std::printf("  of which building the text: %.4f s\n", text_time);
    tb::bench::report("export all links", export_time, write_time, 3.0);

    db.close_database();
    std::filesystem::remove_all(dir);
    return 0;
}
