#include "support.h"

#include <string>
#include <vector>

#include "storage/database.h"
#include "storage/ids.h"

#include <stdlib.h>

#include <cstdio>
#include <limits>

namespace tb::bench {

namespace {

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
        // Appended piece by piece: a prefix joined to a temporary string trips GCC 12's
        // -Wrestrict at -O3 with a false positive.
        if (i > 0) {
            text += ' ';
        }
        text += kWords[rng.next(kWordCount)];
    }
    text[0] = static_cast<char>(text[0] >= 'a' && text[0] <= 'z' ? text[0] - 32 : text[0]);
    return text;
}

}  // namespace

void fill_links(tb::Database& db, int links) {
    Random rng;
    {
        tb::Transaction transaction(db);
        std::vector<int> folders{tb::kRootFolder};
        std::vector<int> depth{0};
        int next_folder = 2;
        for (int i = 0; i < links; ++i) {
            if (i % 40 == 0) {
                int parent_at = rng.next(static_cast<int>(folders.size()));
                while (depth[parent_at] >= 6) {
                    parent_at = rng.next(static_cast<int>(folders.size()));
                }
                check(db.easy_query(tb::sql_format(
                    "INSERT INTO tb_folders (id, title, parent) VALUES ('%d', '%q %d', '%d')",
                    next_folder, phrase(rng, 1, 3).c_str(), next_folder, folders[parent_at])));
                folders.push_back(next_folder++);
                depth.push_back(depth[parent_at] + 1);
            }
            const std::string url = "https://www." + std::string(kWords[rng.next(42)]) +
                                    ".example/" + std::string(kWords[rng.next(42)]) + "/" +
                                    std::to_string(rng.next(links));
            const std::string comment = rng.next(4) == 0 ? phrase(rng, 2, 8) : std::string();
            check(db.easy_query(tb::sql_format(
                "INSERT INTO tb_links (title, url, comment, parent) VALUES ('%q', '%q', '%q', "
                "'%d')",
                phrase(rng, 2, 6).c_str(), url.c_str(), comment.c_str(), folders.back())));
        }
        tb::bench::check(transaction.commit());
    }
}

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

double best_of(int runs, const std::function<void()>& fn) {
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        fn();
        std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

void report(const std::string& name, double seconds, double reference, double target) {
    double ratio = reference > 0 ? seconds / reference : 0;
    std::printf("%s: %.4f s vs reference %.4f s, ratio %.2f (target <= %.2f) %s\n", name.c_str(),
                seconds, reference, ratio, target, ratio <= target ? "OK" : "OVER");
}

bool generate_bookmarks(int links, const std::filesystem::path& out) {
    std::string command = "python3 '" TB_SHARED_BENCH "/gen_bookmarks.py' " +
                          std::to_string(links) + " '" + out.string() + "' >/dev/null";
    return std::system(command.c_str()) == 0;
}

std::filesystem::path make_temp_dir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tb-bench-XXXXXX").string();
    return mkdtemp(pattern.data()) != nullptr ? std::filesystem::path(pattern)
                                              : std::filesystem::path();
}

}  // namespace tb::bench
