// A link check of 10,000 links spread over eight loopback hosts, results stored as the program
// stores them; the target is under a minute with at most two requests at once per host.
#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/feeds/local_http_server.h"
#include "health/link_check_run.h"
#include "platform/log.h"
#include "support.h"

namespace {

constexpr int kLinks = 10000;
constexpr int kHosts = 8;
constexpr double kTargetSeconds = 60.0;
constexpr int kPerHost = 2;

using Server = tb::test::LocalHttpServer;

void add_links(tb::Model& model, const std::vector<std::unique_ptr<Server>>& hosts) {
    const tb::RowId folder = model.folders.create_folder("Checked", tb::kRootFolder);
    tb::Transaction transaction(model.db);
    for (int i = 0; i < kLinks; ++i) {
        const Server& host = *hosts[static_cast<size_t>(i % kHosts)];
        const std::string path = i % 10 == 0 ? "/gone" : i % 10 == 1 ? "/old" : "/page";
        model.links.insert_link_with_id("link " + std::to_string(i),
                                        host.url(path + "?n=" + std::to_string(i)), "", i + 1,
                                        folder, 0);
    }
    if (!transaction.commit()) {
        throw std::runtime_error("cannot write the benchmark's links");
    }
}

}  // namespace

int main() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    const std::filesystem::path dir = tb::bench::make_temp_dir();
    tb::SilentReporter reporter;
    tb::log_set_file(dir / "tagberry.log", nullptr);
    tb::Database db(reporter);
    if (db.open_database(dir) != tb::OpenStatus::Ok) {
        std::fprintf(stderr, "cannot create the database\n");
        return 1;
    }
    std::vector<std::unique_ptr<Server>> hosts;
    for (int i = 1; i <= kHosts; ++i) {
        hosts.push_back(std::make_unique<Server>("127.0.0." + std::to_string(i)));
        hosts.back()->route("/page", Server::Response(200, "page"));
        hosts.back()->route("/gone", Server::Response(404));
        hosts.back()->route("/old", Server::Response(301, {}, {"Location: /page"}));
    }
    tb::Model model(db);
    model.load();
    add_links(model, hosts);

    tb::LinkHealthStore store(db);
    store.load();
    const auto start = std::chrono::steady_clock::now();
    const tb::CheckPlan plan = tb::plan_link_check(model, tb::kRootFolder);
    tb::CheckRecorder recorder(store, [] { return std::int64_t{1'700'000'000}; });
    int tally[5] = {};
    const tb::CheckSummary summary =
        tb::LinkChecker().run(plan.targets, [&](const tb::CheckOutcome& outcome) {
            ++tally[static_cast<int>(outcome.result)];
            recorder.add(outcome);
        });
    const bool kept = recorder.finish(summary);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    int peak = 0;
    for (const auto& host : hosts) {
        peak = std::max(peak, host->peak_concurrency());
    }
    const std::int64_t rows = db.query_int("SELECT COUNT(*) FROM tb_link_checks");
    std::printf(
        "link check: %d links over %d hosts in %.2f s (target < %.0f s), %lld results "
        "stored, at most %d requests at once per host (limit %d)\n",
        summary.checked, kHosts, seconds, kTargetSeconds, static_cast<long long>(rows), peak,
        kPerHost);
    std::printf("ok %d, moved %d, gone %d, error %d, unreachable %d\n", tally[0], tally[1],
                tally[2], tally[3], tally[4]);
    hosts.clear();
    db.close_database();
    std::filesystem::remove_all(dir);
    curl_global_cleanup();
    const bool good = kept && summary.checked == kLinks && rows == kLinks &&
                      tally[1] == kLinks / 10 && tally[2] == kLinks / 10 &&
                      seconds < kTargetSeconds && peak <= kPerHost;
    return good ? 0 : 1;
}
