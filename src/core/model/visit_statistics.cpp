#include "model/visit_statistics.h"

#include <algorithm>
#include <map>
#include <set>

#include "platform/log.h"
#include "text/time_format.h"

namespace tb {

StatisticsOptions statistics_options(const Settings& settings) {
    return {.favourites_mode = settings.favourites_mode,
            .recent_timespan_hours = settings.recent_links_timespan,
            .reset_inactive = settings.reset_visits_for_inactive_links,
            .reset_after_months = settings.reset_visits_after_timespan};
}

bool VisitStatistics::is_unprotected(const Link& link) const {
    const Folder* folder = folders_.find(link.parent);
    return folder == nullptr || !folder->is_protected;
}

bool VisitStatistics::update_visits_counter(RowId id, int visits, std::int64_t now) {
    links_.set_last_opened(id);
    return links_.db().easy_query("UPDATE tb_links SET visits = ?, last_visit = ? WHERE id = ?",
                                  {visits + 1, now, id});
}

bool VisitStatistics::open_link(RowId id, Launcher& launcher, std::int64_t now) {
    const std::optional<Link> link = links_.find(id);
    if (!link) {
        links_.db().reporter().report_text(TB_TRANSLATE_NOOP("Strings", "No link selected."));
        return false;
    }
    const int visits = link->visits;
    bool launched = launcher.launch(link->url);
    if (!launched) {
        links_.db().reporter().report_text(
            TB_TRANSLATE_NOOP("Strings", "Cannot launch application."));
    }
    if (!update_visits_counter(id, visits, now)) {
        links_.db().reporter().report_text(
            TB_TRANSLATE_NOOP("Strings", "update_visits_counter() failed."));
    }
    return launched;
}

std::vector<Link> VisitStatistics::unprotected_links(std::string_view condition,
                                                     SqlValues values) const {
    std::vector<Link> out;
    (void)links_.visit_links(condition, values, [&](const Link& link) {
        if (is_unprotected(link)) {
            out.push_back(link);
        }
    });
    return out;
}

int VisitStatistics::calculate_favourites(int mode) {
    // Links never visited count in none of the three measures.
    std::vector<int> visits;
    for (const Link& link : unprotected_links("l.visits <> 0", {})) {
        visits.push_back(link.visits);
    }
    threshold_ = 0;
    if (mode == 0) {
        long long sum = 0;
        long long count = 0;
        for (int v : visits) {
            sum += v;
            count += v != 0 ? 1 : 0;
        }
        threshold_ = count != 0 ? static_cast<int>(sum / count) : 0;
        log_append("calculate_favourites(): mean value == " + std::to_string(threshold_));
    } else if (mode == 1) {
        std::map<int, int> frequency;
        for (int v : visits) {
            if (v > 0) {
                ++frequency[v];
            }
        }
        threshold_ = 1;
        int best = 0;
        for (const auto& [value, count] : frequency) {
            if (count > best) {
                best = count;
                threshold_ = value;
            }
        }
        log_append("calculate_favourites(): mode == " + std::to_string(threshold_));
    } else if (mode == 2) {
        std::set<int> distinct;
        for (int v : visits) {
            if (v > 0) {
                distinct.insert(v);
            }
        }
        if (!distinct.empty()) {
            std::vector<int> sorted(distinct.begin(), distinct.end());
            size_t n = sorted.size();
            threshold_ = n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
            log_append("calculate_favourites(): median == " + std::to_string(threshold_));
        }
    }
    return threshold_;
}

std::vector<Link> VisitStatistics::build_most_visited() const {
    return unprotected_links("l.visits > ?", {threshold_});
}

std::vector<Link> VisitStatistics::build_recently_visited(int timespan_hours,
                                                          std::int64_t now) const {
    std::vector<Link> out;
    if (timespan_hours == 0) {
        return out;
    }
    const std::int64_t limit = now - static_cast<std::int64_t>(timespan_hours) * 3600;
    return unprotected_links("l.last_visit >= ?", {limit});
}

int VisitStatistics::expire_links(const StatisticsOptions& options, std::int64_t now) {
    if (!options.reset_inactive) {
        return 0;
    }
    const std::int64_t limit = now - options.reset_after_months * kSecondsPerMonth;
    Database& db = links_.db();
    int count = 0;
    const std::vector<Link> inactive =
        links_.select_links("l.last_visit <= ? AND l.visits <> 0", {limit});
    Transaction transaction(db);
    for (const Link& link : inactive) {
        log_append("expire_links(): old link found: " + link.title + ".\nLast modified: " +
                   format_local_time(link.last_visit, kLogTimeFormat) + "\n");
        if (!db.easy_query("UPDATE tb_links SET visits = '0', last_visit = '0' WHERE id = ?",
                           {link.id})) {
            break;
        }
        ++count;
    }
    return transaction.commit() ? count : -1;
}

bool VisitStatistics::reset_link_usage(RowId id) {
    return links_.db().easy_query("UPDATE tb_links SET visits = '0', last_visit = '0' WHERE id = ?",
                                  {id});
}

bool VisitStatistics::reset_folder_usage(RowId folder) {
    return links_.db().easy_query(
        "UPDATE tb_links SET visits = '0', last_visit = '0' WHERE parent = ?", {folder});
}

bool VisitStatistics::reset_all_usage() {
    Database& db = links_.db();
    bool ok = db.easy_query(
        "UPDATE tb_links SET visits = '0', last_visit = '0' WHERE visits <> '0' OR last_visit <> "
        "'0'");
    ok = db.easy_query(
             "UPDATE tb_links SET last_visit = '0', visits = '0' WHERE last_visit <> '0'") &&
         ok;
    return ok;
}

}  // namespace tb
