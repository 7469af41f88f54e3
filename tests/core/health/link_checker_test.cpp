#include "health/link_checker.h"

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "core/feeds/local_http_server.h"

namespace tb {
namespace {

using Response = test::LocalHttpServer::Response;
using Server = test::LocalHttpServer;
using Clock = std::chrono::steady_clock;

Response redirect(int status, const std::string& to) {
    return Response(status, {}, {"Location: " + to});
}

// A loopback port with nothing listening on it.
int closed_port() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

class LinkCheckerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static std::once_flag once;
        std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    }

    LinkCheckerTest() {
        options.connect_timeout_ms = 2000;
        options.timeout_ms = 3000;
    }

    // Checks the paths of the server, one link each, numbered from 1 in order.
    std::map<int, CheckOutcome> check(const std::vector<std::string>& urls) {
        std::vector<CheckTarget> targets;
        for (const std::string& url : urls) {
            targets.push_back({.link = static_cast<int>(targets.size()) + 1, .url = url});
        }
        std::map<int, CheckOutcome> results;
        summary = LinkChecker(options).run(
            targets, [&](const CheckOutcome& outcome) { results[outcome.link] = outcome; });
        return results;
    }
    CheckOutcome check_one(const std::string& path) { return check({server.url(path)})[1]; }

    Server server;
    CheckerOptions options;
    CheckSummary summary;
};

TEST_F(LinkCheckerTest, ClassifiesAnswersAndRedirectChains) {
    server.route("/ok", Response(200, "page"));
    server.route("/301", redirect(301, server.url("/ok")));
    server.route("/302", redirect(302, server.url("/ok")));
    server.route("/308", redirect(308, server.url("/302")));
    server.route("/302-301", redirect(302, server.url("/301")));
    server.route("/301-404", redirect(301, server.url("/missing")));
    server.route("/410", Response(410));
    server.route("/500", Response(500, "oops"));
    server.route("/403", Response(403));
    server.route("/loop", redirect(301, server.url("/loop")));
    struct Case {
        const char* path;
        CheckResult result;
        int status;
        const char* final_path;
    };
    const Case cases[] = {
        {"/ok", CheckResult::Ok, 200, "/ok"},
        {"/301", CheckResult::Moved, 200, "/ok"},
        {"/302", CheckResult::Ok, 200, "/ok"},
        {"/308", CheckResult::Moved, 200, "/ok"},
        {"/302-301", CheckResult::Moved, 200, "/ok"},
        {"/301-404", CheckResult::Gone, 404, "/missing"},
        {"/missing", CheckResult::Gone, 404, "/missing"},
        {"/410", CheckResult::Gone, 410, "/410"},
        {"/500", CheckResult::Error, 500, "/500"},
        {"/403", CheckResult::Error, 403, "/403"},
        {"/loop", CheckResult::Error, 301, "/loop"},
    };
    for (const Case& c : cases) {
        const CheckOutcome outcome = check_one(c.path);
        EXPECT_EQ(outcome.result, c.result) << c.path;
        EXPECT_EQ(outcome.status, c.status) << c.path;
        EXPECT_EQ(outcome.final_url, server.url(c.final_path)) << c.path;
        EXPECT_EQ(outcome.failure, FailureKind::None) << c.path;
    }
}

TEST_F(LinkCheckerTest, RetriesWithGetWhenHeadIsRefusedOrAnsweredWrongly) {
    Response refuses_head(200, "page");
    refuses_head.head_status = 405;
    server.route("/405", refuses_head);
    Response head_not_implemented(200, "page");
    head_not_implemented.head_status = 501;
    server.route("/501", head_not_implemented);
    Response head_missing(200, "page");
    head_missing.head_status = 404;
    server.route("/head-404", head_missing);
    for (const char* path : {"/405", "/501", "/head-404"}) {
        const int before = server.requests();
        const int heads = server.head_requests();
        const CheckOutcome outcome = check_one(path);
        EXPECT_EQ(outcome.result, CheckResult::Ok) << path;
        EXPECT_EQ(outcome.status, 200) << path;
        EXPECT_EQ(server.requests() - before, 2) << path;
        EXPECT_EQ(server.head_requests() - heads, 1) << path;
    }
    // A plain answer to HEAD needs no second request, and the body is never fetched.
    server.route("/ok", Response(200, std::string(1 << 20, 'x')));
    const int before = server.requests();
    EXPECT_EQ(check_one("/ok").result, CheckResult::Ok);
    EXPECT_EQ(server.requests() - before, 1);
}

TEST_F(LinkCheckerTest, FollowsAtMostFiveRedirects) {
    server.route("/hop0", Response(200));
    for (int i = 1; i <= 6; ++i) {
        server.route("/hop" + std::to_string(i),
                     redirect(302, server.url("/hop" + std::to_string(i - 1))));
    }
    EXPECT_EQ(check_one("/hop5").result, CheckResult::Ok);
    EXPECT_EQ(check_one("/hop6").result, CheckResult::Error);
}

TEST_F(LinkCheckerTest, StallsAndRefusedConnectionsAreUnreachable) {
    Response stall(200);
    stall.delay = std::chrono::seconds(30);
    server.route("/stall", stall);
    options.timeout_ms = 300;
    const auto start = Clock::now();
    const CheckOutcome stalled = check_one("/stall");
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(stalled.result, CheckResult::Unreachable);
    EXPECT_EQ(stalled.failure, FailureKind::Timeout);
    EXPECT_EQ(stalled.status, 0);

    const auto refused = check({"http://127.0.0.1:" + std::to_string(closed_port()) + "/page"})[1];
    EXPECT_EQ(refused.result, CheckResult::Unreachable);
    EXPECT_EQ(refused.failure, FailureKind::Connect);
    // A single dead host is a dead link, not a dead network.
    EXPECT_FALSE(summary.network_unavailable());
}

TEST_F(LinkCheckerTest, AddressesThatCannotBeParsedAreErrorsWithoutARequest) {
    const auto results = check({"http://", "http://exa mple.com/"});
    ASSERT_EQ(results.size(), 2u);
    for (const auto& [link, outcome] : results) {
        EXPECT_EQ(outcome.result, CheckResult::Error) << outcome.url;
    }
    EXPECT_EQ(server.requests(), 0);
}

TEST_F(LinkCheckerTest, KeepsToTheLimitsPerHostAndOverall) {
    Server::Gauge overall;
    std::vector<std::unique_ptr<Server>> hosts;
    std::vector<std::string> urls;
    Response slow(200);
    slow.delay = std::chrono::milliseconds(40);
    for (int host = 1; host <= 6; ++host) {
        hosts.push_back(std::make_unique<Server>("127.0.0." + std::to_string(host), &overall));
        hosts.back()->route("/slow", slow);
        for (int i = 0; i < 8; ++i) {
            urls.push_back(hosts.back()->url("/slow"));
        }
    }
    // One host alone gets two requests at a time however many slots are free.
    EXPECT_EQ(check(std::vector<std::string>(12, hosts[0]->url("/slow"))).size(), 12u);
    EXPECT_EQ(hosts[0]->peak_concurrency(), 2);

    overall.peak = 0;
    options.max_transfers = 5;
    const auto results = check(urls);
    EXPECT_EQ(results.size(), urls.size());
    for (const auto& [link, outcome] : results) {
        EXPECT_EQ(outcome.result, CheckResult::Ok) << link;
    }
    for (const auto& host : hosts) {
        EXPECT_LE(host->peak_concurrency(), 2) << host->address();
    }
    EXPECT_EQ(overall.peak, 5);
}

TEST_F(LinkCheckerTest, MostHostsFailingToConnectMeansNoNetwork) {
    server.route("/ok", Response(200));
    std::vector<std::string> dead;
    for (int host = 2; host <= 4; ++host) {
        dead.push_back("http://127.0.0." + std::to_string(host) + ":" +
                       std::to_string(closed_port()) + "/");
    }
    check({dead[0], dead[1], dead[2], server.url("/ok")});
    EXPECT_EQ(summary.hosts, 4);
    EXPECT_EQ(summary.hosts_down, 3);
    EXPECT_TRUE(summary.network_unavailable());

    check(
        {dead[0], server.url("/ok"), "http://localhost:" + std::to_string(server.port()) + "/ok"});
    EXPECT_EQ(summary.hosts_down, 1);
    EXPECT_FALSE(summary.network_unavailable());
}

TEST_F(LinkCheckerTest, CancellingEndsTheRunSoon) {
    Response slow(200);
    slow.delay = std::chrono::seconds(20);
    server.route("/slow", slow);
    server.route("/ok", Response(200));
    std::vector<CheckTarget> targets{{.link = 1, .url = server.url("/ok")}};
    for (int i = 2; i <= 40; ++i) {
        targets.push_back({.link = i, .url = server.url("/slow")});
    }
    std::atomic<bool> abort{false};
    int results = 0;
    const auto start = Clock::now();
    const CheckSummary run = LinkChecker(options).run(
        targets,
        [&](const CheckOutcome&) {
            ++results;
            abort = true;
        },
        &abort);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(run.cancelled);
    EXPECT_EQ(results, 1);
    EXPECT_LE(server.requests(), 3);
}

TEST(CheckHost, NamesTheHostOfWebAddressesOnly) {
    EXPECT_EQ(check_host("HTTPS://Example.COM:8080/a?b"), "example.com");
    EXPECT_EQ(check_host("http://127.0.0.2/"), "127.0.0.2");
    EXPECT_EQ(check_host("ftp://example.com/"), "");
    EXPECT_EQ(check_host("mailto:someone@example.com"), "");
    EXPECT_EQ(check_host("not an address"), "");
}

}  // namespace
}  // namespace tb
