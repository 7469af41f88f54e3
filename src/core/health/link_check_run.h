#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "health/link_checker.h"
#include "health/link_health.h"
#include "model/model.h"

namespace tb {

struct CheckPlan {
    std::vector<CheckTarget> targets;
    int skipped = 0;  // links of other schemes, never checked
};

// The http and https links of `folder` and every folder below it; the root means the whole tree.
CheckPlan plan_link_check(const Model& model, RowId folder);

// Writes the results of one run, stamped by the clock as they arrive, in batches of one
// transaction each, and settles the run at its end: a run without network keeps nothing, any
// other keeps the last three checks of each link.
class CheckRecorder {
public:
    CheckRecorder(LinkHealthStore& store, std::function<std::int64_t()> clock)
        : store_(store), clock_(std::move(clock)) {}

    // Writes a batch once enough results wait.
    void add(const CheckOutcome& outcome);
    // Writes the waiting results now.
    void flush();
    // False when the run was taken back for want of network.
    bool finish(const CheckSummary& summary);

private:
    LinkHealthStore& store_;
    std::function<std::int64_t()> clock_;
    std::vector<std::pair<CheckOutcome, std::int64_t>> pending_;
    std::vector<std::int64_t> rows_;
};

// The links among ids whose present address was last found moved, each with its new address.
std::vector<std::pair<int, std::string>> moved_addresses(const Model& model,
                                                         const LinkHealthStore& store,
                                                         const std::vector<RowId>& ids);

// The Internet Archive's address of a page.
std::string archived_copy_url(const std::string& url);

}  // namespace tb
