#pragma once

#include <cstdint>
#include <vector>

#include "model/folder_store.h"
#include "model/link_store.h"
#include "platform/launcher.h"
#include "platform/settings.h"

namespace tb {

// The settings that steer the statistics and smart folders.
struct StatisticsOptions {
    int favourites_mode = 1;         // 0 mean, 1 mode, 2 median
    int recent_timespan_hours = 24;  // 0 switches Recently Visited off
    bool reset_inactive = true;
    int reset_after_months = 6;
};

// The statistics part of the user's settings.
StatisticsOptions statistics_options(const Settings& settings);

constexpr std::int64_t kSecondsPerMonth = 2592000;

// Visit counting, the Most Visited threshold and the two smart folders.
class VisitStatistics {
public:
    VisitStatistics(LinkStore& links, FolderStore& folders) : links_(links), folders_(folders) {}

    // Counts one visit: `visits` (the count as read) plus one, stamped with `now`.
    bool update_visits_counter(RowId id, int visits, std::int64_t now);
    // Launches a live link and counts the visit, also when the launch failed ("Cannot launch
    // application." is reported then). False when the link is unknown or was not launched.
    bool open_link(RowId id, Launcher& launcher, std::int64_t now);

    int calculate_favourites(int mode);
    int threshold() const { return threshold_; }
    void reset_threshold() { threshold_ = 0; }

    std::vector<Link> build_most_visited() const;
    std::vector<Link> build_recently_visited(int timespan_hours, std::int64_t now) const;

    // Resets the counters of links not opened for `months`. Returns how many, or -1 when the
    // write failed and nothing changed.
    int expire_links(const StatisticsOptions& options, std::int64_t now);

    bool reset_link_usage(RowId id);
    bool reset_folder_usage(RowId folder);
    bool reset_all_usage();

private:
    bool is_unprotected(const Link& link) const;
    // The live links in unprotected folders meeting a condition on the row "l", by title.
    std::vector<Link> unprotected_links(std::string_view condition, SqlValues values) const;

    LinkStore& links_;
    FolderStore& folders_;
    int threshold_ = 0;
};

}  // namespace tb
