#include "health/link_check_run.h"

#include <unordered_set>

#include "text/strings.h"

namespace tb {

namespace {

constexpr const char* kArchivePrefix = "https://web.archive.org/web/";
// Results written in one transaction: one disk sync per batch rather than per link.
constexpr size_t kBatchSize = 200;

bool web_address(const std::string& url) {
    return istarts_with_ascii(url, "http://") || istarts_with_ascii(url, "https://");
}

std::unordered_set<RowId> folders_below(const Model& model, RowId folder) {
    std::unordered_set<RowId> below{folder};
    for (const Folder& candidate : model.folders.list()) {
        if (model.folders.is_descendant(candidate.id, folder)) {
            below.insert(candidate.id);
        }
    }
    return below;
}

}  // namespace

CheckPlan plan_link_check(const Model& model, RowId folder) {
    const bool whole_tree = folder == kRootFolder;
    const std::unordered_set<RowId> folders =
        whole_tree ? std::unordered_set<RowId>{} : folders_below(model, folder);
    CheckPlan plan;
    (void)model.links.visit_links("1", {}, [&](const Link& link) {
        if (!whole_tree && !folders.contains(link.parent)) {
            return;
        }
        if (web_address(link.url)) {
            plan.targets.push_back({.link = link.id, .url = link.url});
        } else {
            ++plan.skipped;
        }
    });
    return plan;
}

void CheckRecorder::add(const CheckOutcome& outcome) {
    pending_.emplace_back(outcome, clock_());
    if (pending_.size() >= kBatchSize) {
        flush();
    }
}

void CheckRecorder::flush() {
    if (pending_.empty()) {
        return;
    }
    Transaction transaction(store_.db());
    std::vector<std::int64_t> written;
    for (const auto& [outcome, when] : pending_) {
        const std::int64_t row = store_.record(outcome, when);
        if (row != 0) {
            written.push_back(row);
        }
    }
    if (transaction.commit()) {
        rows_.insert(rows_.end(), written.begin(), written.end());
    }
    pending_.clear();
}

bool CheckRecorder::finish(const CheckSummary& summary) {
    flush();
    if (summary.network_unavailable()) {
        store_.remove_rows(rows_);
        rows_.clear();
        return false;
    }
    store_.prune();
    rows_.clear();
    return true;
}

std::vector<std::pair<int, std::string>> moved_addresses(const Model& model,
                                                         const LinkHealthStore& store,
                                                         const std::vector<RowId>& ids) {
    std::vector<std::pair<int, std::string>> moved;
    std::unordered_set<RowId> seen;
    for (RowId id : ids) {
        const std::optional<Link> link = model.links.find(id);
        if (!link || !seen.insert(id).second || store.health(*link) != Health::Moved) {
            continue;
        }
        const LinkCheck* check = store.last_check(*link);
        if (check != nullptr && !check->final_url.empty() && check->final_url != link->url) {
            moved.emplace_back(id, check->final_url);
        }
    }
    return moved;
}

std::string archived_copy_url(const std::string& url) {
    return kArchivePrefix + url;
}

}  // namespace tb
