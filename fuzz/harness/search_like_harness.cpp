#include <sqlite3.h>

#include <memory>

#include "harness/fuzz_support.h"
#include "harness/fuzz_targets.h"
#include "search/search_compiler.h"
#include "storage/like.h"
#include "storage/schema.h"

namespace tb::fuzz {

namespace {

// "%" and "_" both match any run of bytes, everything else itself: a plain backtracking glob
// over the case-folded texts, kept apart from the program's piece-by-piece matcher.
bool reference_like(std::string_view pattern, std::string_view text) {
    std::string folded_pattern;
    std::string folded_text;
    fold_case_utf8(pattern, folded_pattern);
    fold_case_utf8(text, folded_text);
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t star = std::string::npos;
    std::size_t resume = 0;
    while (t < folded_text.size()) {
        if (p < folded_pattern.size() && (folded_pattern[p] == '%' || folded_pattern[p] == '_')) {
            star = p++;
            resume = t;
        } else if (p < folded_pattern.size() && folded_pattern[p] == folded_text[t]) {
            ++p;
            ++t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < folded_pattern.size() && (folded_pattern[p] == '%' || folded_pattern[p] == '_')) {
        ++p;
    }
    return p == folded_pattern.size();
}

struct ConnectionCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;

struct StatementFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using PreparedStatement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Anything a compiled search does beyond reading rows and calling functions is refused and noted.
int read_only_authorizer(void* refused, int action, const char*, const char*, const char*,
                         const char*) {
    if (action == SQLITE_SELECT || action == SQLITE_READ || action == SQLITE_FUNCTION) {
        return SQLITE_OK;
    }
    *static_cast<bool*>(refused) = true;
    return SQLITE_DENY;
}

// An empty view may have no data pointer, which the engine would bind as NULL.
void bind_text(sqlite3_stmt* stmt, int index, std::string_view text) {
    sqlite3_bind_text(stmt, index, text.empty() ? "" : text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

// The two searched tables with one row each holding the sample text, and the program's "like".
Connection sample_database(std::string_view sample) {
    sqlite3* raw = nullptr;
    require(sqlite3_open(":memory:", &raw) == SQLITE_OK, "cannot open a memory database");
    Connection db(raw);
    require(register_like_function(db.get()), "cannot register like()");
    for (const char* create : {schema::kCreateLinks, schema::kCreateFolders}) {
        require(sqlite3_exec(db.get(), create, nullptr, nullptr, nullptr) == SQLITE_OK,
                "cannot create the tables");
    }
    for (const char* insert : {"INSERT INTO tb_links (title, url, comment) VALUES (?1, ?1, ?1)",
                               "INSERT INTO tb_folders (title) VALUES (?1)"}) {
        sqlite3_stmt* stmt = nullptr;
        require(sqlite3_prepare_v2(db.get(), insert, -1, &stmt, nullptr) == SQLITE_OK,
                "cannot prepare the sample row");
        PreparedStatement row(stmt);
        bind_text(stmt, 1, sample);
        require(sqlite3_step(stmt) == SQLITE_DONE, "cannot insert the sample row");
    }
    return db;
}

void check_statement(sqlite3* db, const std::string& sql) {
    bool refused = false;
    sqlite3_set_authorizer(db, read_only_authorizer, &refused);
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int prepared =
        sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail);
    PreparedStatement statement(stmt);
    sqlite3_set_authorizer(db, nullptr, nullptr);
    require(!refused, "a search statement does more than read", sql);
    // A query the grammar rejects is "Invalid query." for the user, which is no fault.
    if (prepared != SQLITE_OK) {
        return;
    }
    require(stmt != nullptr && sqlite3_stmt_readonly(stmt) != 0, "a search statement writes", sql);
    require(std::string_view(tail).find_first_not_of(" \t\r\n") == std::string_view::npos,
            "a search statement has a tail", sql);
    require(sql.starts_with("SELECT id FROM tb_"), "a search statement is no id query", sql);
    int step = SQLITE_ROW;
    while (step == SQLITE_ROW) {
        step = sqlite3_step(stmt);
    }
}

void check_like(sqlite3* db, std::string_view pattern, std::string_view text) {
    const bool matched = LikePattern(pattern).matches(text);
    require(matched == reference_like(pattern, text), "like() differs from the reference",
            std::string(pattern) + " ~ " + std::string(text));
    sqlite3_stmt* stmt = nullptr;
    require(sqlite3_prepare_v2(db, "SELECT ?2 LIKE ?1", -1, &stmt, nullptr) == SQLITE_OK,
            "cannot prepare a LIKE");
    PreparedStatement statement(stmt);
    bind_text(stmt, 1, pattern);
    bind_text(stmt, 2, text);
    require(sqlite3_step(stmt) == SQLITE_ROW, "a LIKE gave no row");
    require((sqlite3_column_int(stmt, 0) != 0) == matched, "the SQL LIKE differs from like()");
}

}  // namespace

// The input is a search text and a sample text, joined by a NUL byte. The search text is compiled
// and its statements run over rows holding the sample; it is also used as a like pattern.
void fuzz_search_like(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string_view> parts = split_input(input_text(data, size), 2);
    const std::string query(parts[0]);
    Connection db = sample_database(parts[1]);
    const std::string words = search_template(query);
    for (std::string_view column : {"title", "url", "comment"}) {
        check_statement(db.get(), link_pass_statement(words, column));
    }
    check_statement(db.get(), folder_pass_statement(words));
    check_like(db.get(), parts[0], parts[1]);
}

}  // namespace tb::fuzz
