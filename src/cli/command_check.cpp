#include <ctime>
#include <ostream>

#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/model_session.h"
#include "health/link_check_run.h"
#include "platform/messages.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage = "check [FOLDER] [--json] [--fix-moved]";
constexpr const char* kNetworkUnavailable = "network unavailable";

std::string outcome_json(const CheckOutcome& outcome, Health health) {
    return JsonObject()
        .add("id", outcome.link)
        .add("url", outcome.url)
        .add("result", result_name(outcome.result))
        .add("status", outcome.status)
        .add("final_url", outcome.final_url)
        .add("health", health_name(health))
        .str();
}

void print_outcome(std::ostream& out, const CheckOutcome& outcome, Health health) {
    out << outcome.link << '\t' << result_name(outcome.result) << '\t' << outcome.status << '\t'
        << outcome.url << '\t'
        << (outcome.result == CheckResult::Moved ? outcome.final_url : std::string("-")) << '\t'
        << health_name(health) << "\n";
}

int run_check(CliContext& context) {
    const ParsedArgs& args = context.parsed();
    if (args.positional.size() > 1) {
        return fail_usage(context, kUsage);
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    const RowId folder =
        args.positional.empty() ? kRootFolder : session.resolve_folder(args.positional.front());
    if (folder == 0) {
        return 1;
    }
    Model& model = session.model();
    LinkHealthStore store(model.db);
    store.load();
    const CheckPlan plan = plan_link_check(model, folder);
    CheckRecorder recorder(store, [] { return static_cast<std::int64_t>(std::time(nullptr)); });
    std::vector<CheckOutcome> outcomes;
    const CheckSummary summary = LinkChecker().run(plan.targets, [&](const CheckOutcome& outcome) {
        recorder.add(outcome);
        outcomes.push_back(outcome);
    });
    if (!recorder.finish(summary)) {
        return context.fail(kNetworkUnavailable);
    }
    std::vector<RowId> checked;
    JsonArray links;
    for (const CheckOutcome& outcome : outcomes) {
        checked.push_back(outcome.link);
        // Another process may have deleted the link while it was checked.
        const std::optional<Link> link = model.links.find(outcome.link);
        const Health health = link ? store.health(*link) : Health::Unchecked;
        if (context.json()) {
            links.add_raw(outcome_json(outcome, health));
        } else {
            print_outcome(context.out(), outcome, health);
        }
    }
    const int fixed = args.has("--fix-moved")
                          ? model.links.change_addresses(moved_addresses(model, store, checked))
                          : 0;
    if (context.json()) {
        context.out() << JsonObject()
                             .add_raw("links", links.str())
                             .add("checked", summary.checked)
                             .add("skipped", plan.skipped)
                             .add("fixed", fixed)
                             .str()
                      << "\n";
    } else if (args.has("--fix-moved")) {
        context.out() << "Fixed " << fixed << " moved links.\n";
    }
    if (!context.json() && plan.skipped > 0) {
        context.reporter().report_text("Skipped %1 links that are not http or https.",
                                       {std::to_string(plan.skipped)});
    }
    return 0;
}

const Registration registration{
    {"check",
     kUsage,
     "Checks the http and https links of the folder and below (all of them without FOLDER); "
     "--fix-moved gives moved links their new addresses, journalled.",
     run_check,
     {{"--fix-moved", "", "gives moved links their new addresses"}}}};

}  // namespace

}  // namespace tb::cli
