#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "health/link_checker.h"
#include "model/link_store.h"
#include "storage/database.h"

namespace tb {

enum class Health { Unchecked, Ok, Moved, Suspect, Broken };

// One row of tb_link_checks.
struct LinkCheck {
    std::int64_t row = 0;
    RowId link = 0;
    std::int64_t checked = 0;
    CheckResult result = CheckResult::Ok;
    int status = 0;
    std::string final_url;
    std::string url;  // the address that was checked
};

inline constexpr int kChecksKept = 3;
// A link is broken only when its failures span this long: a site down for an hour is not dead.
inline constexpr std::int64_t kBrokenAfterSeconds = 24 * 60 * 60;

bool is_failure(CheckResult result);

// The English name of a result ("ok", "moved permanently", "gone", "error", "unreachable") and of
// a health ("unchecked", "ok", "moved", "suspect", "broken"); the GUI translates them.
const char* result_name(CheckResult result);
const char* health_name(Health health);

// The health of a link with address `url` from its checks, newest first. Only the checks of that
// address count. Broken: the run of failures up to the newest check spans a day or more; suspect:
// it does not yet.
Health classify_health(const std::vector<LinkCheck>& newest_first, const std::string& url);

// tb_link_checks and an in-memory copy of every link's last checks, written through the
// program's own connection.
class LinkHealthStore {
public:
    explicit LinkHealthStore(Database& db) : db_(db) {}

    // Rereads every link's last checks; false when the query failed.
    bool load();
    // Writes one result; returns its row id, or 0 after a report.
    std::int64_t record(const CheckOutcome& outcome, std::int64_t when);
    // Takes back rows written by a run that is not to be kept.
    bool remove_rows(const std::vector<std::int64_t>& rows);
    // Keeps the last three checks of each link.
    bool prune();

    // The newest kept checks of a link, newest first, whatever address they were for.
    const std::vector<LinkCheck>& checks_of(RowId link) const;
    Health health(const Link& link) const;
    // The newest check of the link's present address, or null.
    const LinkCheck* last_check(const Link& link) const;

    Database& db() { return db_; }

private:
    Database& db_;
    std::unordered_map<RowId, std::vector<LinkCheck>> checks_;
};

}  // namespace tb
