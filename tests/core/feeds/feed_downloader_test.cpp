#include "feeds/feed_downloader.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "local_http_server.h"
#include "support/test_support.h"
#include "text/temp_files.h"

namespace tb {
namespace {

namespace fs = std::filesystem;
using Response = test::LocalHttpServer::Response;
using Clock = std::chrono::steady_clock;

const std::string kFeed =
    "<rss version=\"2.0\">\r\n<channel>\n<item><title>A</title>\n"
    "<description>word\nnext</description></item></channel></rss>\n";

class FeedDownloaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static std::once_flag once;
        std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    }

    void SetUp() override {
        options.connect_timeout_ms = 2000;
        options.stall_timeout_ms = 500;
        options.max_body_bytes = 4096;
    }

    Download get(const std::string& path) {
        return download_feed(server.url(path), dir.path(), options);
    }

    size_t files_in_folder() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir.path()), {}));
    }

    test::LocalHttpServer server;
    test::TempDir dir;
    DownloadOptions options;
};

TEST_F(FeedDownloaderTest, SuccessWritesTheBodyByteForByteUnderAUniqueName) {
    server.route("/news/feed.xml", {200, kFeed});
    const Download first = get("/news/feed.xml");
    const Download second = get("/news/feed.xml");
    ASSERT_EQ(first.result, DownloadResult::Ok);
    ASSERT_EQ(second.result, DownloadResult::Ok);
    EXPECT_NE(first.file, second.file);
    EXPECT_EQ(first.file.parent_path(), dir.path());
    EXPECT_TRUE(first.file.filename().string().ends_with("-feed.xml")) << first.file;
    EXPECT_TRUE(first.file.filename().string().starts_with(kTempFilePrefix)) << first.file;
    EXPECT_EQ(test::read_file(first.file), kFeed);
    EXPECT_EQ(files_in_folder(), 2u);
}

TEST_F(FeedDownloaderTest, StatusCodesMapToResultsWithoutFiles) {
    server.route("/missing", {404, "gone"});
    server.route("/broken", {500, "oops"});
    server.route("/unavailable", {503, ""});
    server.route("/empty", {200, ""});
    server.route("/no-content", {204, ""});
    server.route("/not-modified", {304, ""});
    server.route("/moved-nowhere", {301, "no target"});
    EXPECT_EQ(get("/missing").result, DownloadResult::ClientError);
    EXPECT_EQ(get("/broken").result, DownloadResult::ServerError);
    EXPECT_EQ(get("/unavailable").result, DownloadResult::ServerError);
    EXPECT_EQ(get("/empty").result, DownloadResult::EmptyBody);
    EXPECT_EQ(get("/no-content").result, DownloadResult::EmptyBody);
    // Statuses outside the table fail instead of handing the parser no file.
    EXPECT_EQ(get("/not-modified").result, DownloadResult::NotModified);
    EXPECT_EQ(get("/moved-nowhere").result, DownloadResult::RequestFailed);
    EXPECT_EQ(files_in_folder(), 0u);
}

TEST_F(FeedDownloaderTest, RedirectsAreFollowedOnlyOverHttpAndAtMostFiveTimes) {
    server.route("/feed", {200, kFeed});
    server.route("/moved", {301, "", {"Location: /feed"}});
    server.route("/loop", {302, "", {"Location: /loop"}});
    test::write_file(dir / "local.txt", "LOCAL FILE TEXT");
    server.route("/to-file", {302, "", {"Location: file://" + (dir / "local.txt").string()}});

    const Download moved = get("/moved");
    ASSERT_EQ(moved.result, DownloadResult::Ok);
    EXPECT_EQ(test::read_file(moved.file), kFeed);

    const int before = server.requests();
    EXPECT_EQ(get("/loop").result, DownloadResult::RequestFailed);
    EXPECT_EQ(server.requests() - before, 6);

    EXPECT_EQ(get("/to-file").result, DownloadResult::RequestFailed);
    EXPECT_EQ(download_feed("file://" + (dir / "local.txt").string(), dir.path(), options).result,
              DownloadResult::RequestFailed);
    EXPECT_EQ(files_in_folder(), 2u);  // local.txt and the one good download
}

TEST_F(FeedDownloaderTest, BodyOverTheCapFailsWithOrWithoutDeclaredLength) {
    const std::string big(options.max_body_bytes + 1, 'x');
    server.route("/declared", {200, big});
    Response undeclared{200, big};
    undeclared.content_length = false;
    server.route("/undeclared", undeclared);
    server.route("/at-cap", {200, big.substr(1)});
    EXPECT_EQ(get("/declared").result, DownloadResult::RequestFailed);
    EXPECT_EQ(get("/undeclared").result, DownloadResult::RequestFailed);
    EXPECT_EQ(get("/at-cap").result, DownloadResult::Ok);
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(FeedDownloaderTest, StalledServerAndAbortEndTheTransfer) {
    Response stall{200, kFeed};
    stall.stall_after = 10;
    server.route("/stall", stall);
    auto start = Clock::now();
    EXPECT_EQ(get("/stall").result, DownloadResult::RequestFailed);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2500));

    options.stall_timeout_ms = 60000;
    std::atomic<bool> abort{false};
    std::thread aborter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        abort = true;
    });
    start = Clock::now();
    EXPECT_EQ(download_feed(server.url("/stall"), dir.path(), options, &abort).result,
              DownloadResult::RequestFailed);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    aborter.join();
    EXPECT_EQ(files_in_folder(), 0u);
}

TEST_F(FeedDownloaderTest, UnreachableHostAndMissingFolder) {
    test::LocalHttpServer closed;
    const std::string dead = closed.url("/feed");
    closed.stop();
    EXPECT_EQ(download_feed(dead, dir.path(), options).result, DownloadResult::RequestFailed);
    EXPECT_EQ(download_feed("not a url", dir.path(), options).result,
              DownloadResult::RequestFailed);
    server.route("/feed", {200, kFeed});
    EXPECT_EQ(download_feed(server.url("/feed"), dir / "absent", options).result,
              DownloadResult::CannotCreateFile);
}

TEST_F(FeedDownloaderTest, CompressedBodiesAreDecodedAndCappedAfterDecoding) {
    Response zipped{
        200, test::read_file(test::data_path("feeds/feed.xml.gz")), {"Content-Encoding: gzip"}};
    server.route("/zipped", zipped);
    const Download plain = get("/zipped");
    ASSERT_EQ(plain.result, DownloadResult::Ok);
    EXPECT_NE(test::read_file(plain.file).find("<title>Zipped</title>"), std::string::npos);
    EXPECT_NE(server.last_request().find("\r\nAccept-Encoding: "), std::string::npos);
    EXPECT_NE(server.last_request().find("\r\nUser-Agent: Tagberry/" TB_VERSION "\r\n"),
              std::string::npos)
        << server.last_request();

    // 8 KB on the wire, 8 MB decoded.
    Response bomb{
        200, test::read_file(test::data_path("feeds/bomb.xml.gz")), {"Content-Encoding: gzip"}};
    options.max_body_bytes = 64 * 1024;
    server.route("/bomb", bomb);
    const Download stopped = get("/bomb");
    EXPECT_EQ(stopped.result, DownloadResult::RequestFailed);
    EXPECT_EQ(render(stopped.failure), "larger than 1 MB");
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(FeedDownloaderTest, ValidatorsMakeTheRequestConditional) {
    server.route("/feed",
                 {200, kFeed, {"ETag: \"v1\"", "Last-Modified: Mon, 07 Dec 2026 10:00:00 GMT"}});
    server.route_if("/feed", "If-None-Match: \"v1\"", {304, ""});
    const Download first = get("/feed");
    ASSERT_EQ(first.result, DownloadResult::Ok);
    EXPECT_EQ(first.validators, (Validators{"\"v1\"", "Mon, 07 Dec 2026 10:00:00 GMT"}));
    EXPECT_EQ(server.last_request().find("If-"), std::string::npos);

    const Download again =
        download_feed(server.url("/feed"), dir.path(), options, nullptr, first.validators);
    EXPECT_EQ(again.result, DownloadResult::NotModified);
    EXPECT_TRUE(again.file.empty());
    EXPECT_NE(server.last_request().find("\r\nIf-Modified-Since: Mon, 07 Dec 2026 10:00:00 GMT"),
              std::string::npos);
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(FeedDownloaderTest, FailuresSayWhyAndRetryAfterIsRead) {
    server.route("/busy", {429, "slow down", {"Retry-After: 120"}});
    server.route("/down", {503, "", {"Retry-After: Fri, 31 Dec 2100 23:59:59 GMT"}});
    server.route("/gone", {410, ""});
    const Download busy = get("/busy");
    EXPECT_EQ(busy.result, DownloadResult::ClientError);
    EXPECT_EQ(busy.retry_after_seconds, 120);
    EXPECT_EQ(render(busy.failure), "HTTP status 429");
    EXPECT_GT(get("/down").retry_after_seconds, 365LL * 24 * 3600);
    EXPECT_EQ(get("/gone").retry_after_seconds, 0);

    // A server that sends a byte now and then never stalls, but the deadline ends it.
    Response drip{200, kFeed};
    drip.drip_interval_ms = 100;
    server.route("/drip", drip);
    options.deadline_ms = 700;
    const auto start = Clock::now();
    const Download slow = get("/drip");
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2000));
    EXPECT_EQ(slow.result, DownloadResult::RequestFailed);
    EXPECT_EQ(render(slow.failure), "timed out");
}

TEST(FeedFileSuffixTest, KeepsTheObjectNameMadeSafe) {
    EXPECT_EQ(feed_file_suffix("http://site.example/"), "unnamed.xml");
    EXPECT_EQ(feed_file_suffix("http://site.example"), "unnamed.xml");
    EXPECT_EQ(feed_file_suffix("http://site.example/a/rss.xml?x=1#top"), "rss.xml");
    EXPECT_EQ(feed_file_suffix("http://site.example/a/..%2F..%2Fetc%2Fpasswd"),
              ".._2F.._2Fetc_2Fpasswd");
    EXPECT_EQ(feed_file_suffix("http://site.example/b\xC3\xA9 s;x"), "b___s_x");
    EXPECT_EQ(feed_file_suffix("http://site.example/" + std::string(300, 'n')).size(), 80u);
}

}  // namespace
}  // namespace tb
