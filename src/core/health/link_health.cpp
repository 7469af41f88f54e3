#include "health/link_health.h"

#include <algorithm>

#include "platform/reporter.h"

namespace tb {

namespace {

constexpr const char* kInsertCheck =
    "INSERT INTO tb_link_checks (link, checked, result, status, final_url, url) VALUES (?, ?, ?, "
    "?, ?, ?)";
constexpr const char* kDeleteCheck = "DELETE FROM tb_link_checks WHERE id = ?";
constexpr const char* kPruneChecks =
    "DELETE FROM tb_link_checks WHERE id NOT IN (SELECT id FROM (SELECT id, ROW_NUMBER() OVER "
    "(PARTITION BY link ORDER BY checked DESC, id DESC) AS age FROM tb_link_checks) WHERE age <= "
    "3)";
constexpr const char* kSelectChecks =
    "SELECT id, link, checked, result, status, final_url, url FROM tb_link_checks ORDER BY link, "
    "checked DESC, id DESC";

bool known_result(int value) {
    return value >= static_cast<int>(CheckResult::Ok) &&
           value <= static_cast<int>(CheckResult::Unreachable);
}

}  // namespace

bool is_failure(CheckResult result) {
    return result == CheckResult::Gone || result == CheckResult::Error ||
           result == CheckResult::Unreachable;
}

const char* result_name(CheckResult result) {
    switch (result) {
        case CheckResult::Ok:
            return TB_TRANSLATE_NOOP("Strings", "ok");
        case CheckResult::Moved:
            return TB_TRANSLATE_NOOP("Strings", "moved permanently");
        case CheckResult::Gone:
            return TB_TRANSLATE_NOOP("Strings", "gone");
        case CheckResult::Error:
            return TB_TRANSLATE_NOOP("Strings", "error");
        case CheckResult::Unreachable:
            break;
    }
    return TB_TRANSLATE_NOOP("Strings", "unreachable");
}

const char* health_name(Health health) {
    switch (health) {
        case Health::Unchecked:
            return TB_TRANSLATE_NOOP("Strings", "unchecked");
        case Health::Ok:
            return TB_TRANSLATE_NOOP("Strings", "ok");
        case Health::Moved:
            return TB_TRANSLATE_NOOP("Strings", "moved");
        case Health::Suspect:
            return TB_TRANSLATE_NOOP("Strings", "suspect");
        case Health::Broken:
            break;
    }
    return TB_TRANSLATE_NOOP("Strings", "broken");
}

Health classify_health(const std::vector<LinkCheck>& newest_first, const std::string& url) {
    const LinkCheck* newest = nullptr;
    const LinkCheck* first_failure = nullptr;
    for (const LinkCheck& check : newest_first) {
        if (check.url != url) {
            continue;
        }
        if (newest == nullptr) {
            newest = &check;
        }
        if (!is_failure(check.result)) {
            break;
        }
        first_failure = &check;
    }
    if (newest == nullptr) {
        return Health::Unchecked;
    }
    if (first_failure == nullptr) {
        return newest->result == CheckResult::Moved ? Health::Moved : Health::Ok;
    }
    return newest->checked - first_failure->checked >= kBrokenAfterSeconds ? Health::Broken
                                                                           : Health::Suspect;
}

bool LinkHealthStore::load() {
    checks_.clear();
    auto row = db_.prepare(kSelectChecks);
    while (row && row->step() == Step::Row) {
        const int result = row->integer(3);
        if (!known_result(result)) {
            continue;
        }
        std::vector<LinkCheck>& checks = checks_[row->int64(1)];
        if (checks.size() < kChecksKept) {
            checks.push_back({.row = row->int64(0),
                              .link = row->int64(1),
                              .checked = row->int64(2),
                              .result = static_cast<CheckResult>(result),
                              .status = row->integer(4),
                              .final_url = row->text(5),
                              .url = row->text(6)});
        }
    }
    return row.has_value();
}

std::int64_t LinkHealthStore::record(const CheckOutcome& outcome, std::int64_t when) {
    if (!db_.easy_query(kInsertCheck, {outcome.link, when, static_cast<int>(outcome.result),
                                       outcome.status, outcome.final_url, outcome.url})) {
        return 0;
    }
    const std::int64_t row = db_.last_insert_rowid();
    std::vector<LinkCheck>& checks = checks_[outcome.link];
    checks.insert(checks.begin(), {.row = row,
                                   .link = outcome.link,
                                   .checked = when,
                                   .result = outcome.result,
                                   .status = outcome.status,
                                   .final_url = outcome.final_url,
                                   .url = outcome.url});
    if (checks.size() > kChecksKept) {
        checks.resize(kChecksKept);
    }
    return row;
}

bool LinkHealthStore::remove_rows(const std::vector<std::int64_t>& rows) {
    bool ok = true;
    {
        Transaction transaction(db_);
        for (std::int64_t id : rows) {
            if (!db_.easy_query(kDeleteCheck, {id})) {
                ok = false;
                break;
            }
        }
        ok = ok && transaction.commit();
    }
    return load() && ok;
}

bool LinkHealthStore::prune() {
    return db_.easy_query(kPruneChecks);
}

const std::vector<LinkCheck>& LinkHealthStore::checks_of(RowId link) const {
    static const std::vector<LinkCheck> kNone;
    const auto found = checks_.find(link);
    return found != checks_.end() ? found->second : kNone;
}

Health LinkHealthStore::health(const Link& link) const {
    return classify_health(checks_of(link.id), link.url);
}

const LinkCheck* LinkHealthStore::last_check(const Link& link) const {
    const std::vector<LinkCheck>& checks = checks_of(link.id);
    const auto found = std::find_if(checks.begin(), checks.end(),
                                    [&](const LinkCheck& check) { return check.url == link.url; });
    return found != checks.end() ? &*found : nullptr;
}

}  // namespace tb
