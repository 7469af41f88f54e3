#include "feeds/feed_discovery.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <mutex>

#include "local_http_server.h"

namespace tb {
namespace {

constexpr const char* kPage = "https://news.example/blog/post.html";

struct LinkCase {
    const char* name;
    std::string html;
    std::vector<FeedLink> expected;
};

TEST(FeedDiscoveryTest, FeedLinksOfAPage) {
    const LinkCase cases[] = {
        {"relative",
         R"(<html><head><link rel="alternate" type="application/rss+xml" title="Posts" )"
         R"(href="../feed.xml"></head></html>)",
         {{"Posts", "https://news.example/feed.xml"}}},
        {"absolute, Atom",
         R"(<link rel="alternate" type="application/atom+xml" href="http://other.example/atom">)",
         {{"", "http://other.example/atom"}}},
        {"base href before and after the link",
         R"(<head><link rel=alternate type=application/rss+xml href=rss.xml>)"
         R"(<base href="https://cdn.example/site/"><base href="https://ignored.example/"></head>)",
         {{"", "https://cdn.example/site/rss.xml"}}},
        {"a relative base resolves against the page",
         R"(<base href="/sub/"><link rel="alternate" type="application/rss+xml" href="f">)",
         {{"", "https://news.example/sub/f"}}},
        {"attribute order, case and quotes",
         R"(<LINK HREF='/a.rss' TYPE="Application/RSS+XML; charset=utf-8" REL="Alternate">)"
         R"(<link type="application/atom+xml" href="/b.atom" rel="feed  alternate"/>)",
         {{"", "https://news.example/a.rss"}, {"", "https://news.example/b.atom"}}},
        {"entity-escaped href and title",
         R"(<link rel="alternate" type="application/rss+xml" title="Tom &amp; Jerry&#39;s" )"
         R"(href="/feed?a=1&amp;b=2">)",
         {{"Tom & Jerry's", "https://news.example/feed?a=1&b=2"}}},
        {"none: other types, other rels, no href",
         R"(<link rel="stylesheet" type="text/css" href="s.css">)"
         R"(<link rel="alternate" type="text/html" href="/fr/">)"
         R"(<link rel="alternate" type="application/rss+xml">)"
         R"(<link rel="alternate stylesheet" type="application/json" href="/x">)",
         {}},
        {"several, in document order, without repeats",
         R"(<link rel="alternate" type="application/rss+xml" title="All" href="/all.xml">)"
         R"(<link rel="alternate" type="application/atom+xml" title="Comments" href="/c.atom">)"
         R"(<link rel="alternate" type="application/rss+xml" title="Again" href="/all.xml">)",
         {{"All", "https://news.example/all.xml"}, {"Comments", "https://news.example/c.atom"}}},
        {"links in comments, scripts and titles are no links",
         R"(<!-- <link rel="alternate" type="application/rss+xml" href="/old.xml"> -->)"
         R"(<script>var s = '<link rel="alternate" type="application/rss+xml" href="/s">';)"
         R"(</script><title><link rel="alternate" type="application/rss+xml" href="/t"></title>)",
         {}},
        {"only web addresses",
         R"x(<link rel="alternate" type="application/rss+xml" href="javascript:alert(1)">)x"
         R"(<link rel="alternate" type="application/rss+xml" href="file:///etc/passwd">)",
         {}},
        {"an unsafe base is ignored",
         R"(<base href="javascript:x/"><link rel="alternate" type="application/rss+xml" )"
         R"(href="f.xml">)",
         {{"", "https://news.example/blog/f.xml"}}},
        {"a tag cut off at the end of the page", R"(<link rel="alternate" type="applic)", {}},
    };
    for (const LinkCase& c : cases) {
        EXPECT_EQ(find_feed_links(c.html, kPage), c.expected) << c.name;
    }
}

TEST(FeedDiscoveryTest, HtmlIsToldFromFeedsByTheDocumentFirst) {
    struct Case {
        const char* body;
        const char* content_type;
        bool html;
    };
    const Case cases[] = {
        {"<!DOCTYPE html><html><head></head></html>", "", true},
        {"\xEF\xBB\xBF  <!-- hi --><HTML lang=en>", "application/octet-stream", true},
        {"<?xml version=\"1.0\"?><!DOCTYPE html PUBLIC \"x\"><html xmlns=\"y\">", "", true},
        {"<?xml version=\"1.0\"?><rss version=\"2.0\"></rss>", "text/html", false},
        {"<feed xmlns=\"http://www.w3.org/2005/Atom\"/>", "text/html; charset=utf-8", false},
        {"<rdf:RDF xmlns:rdf=\"x\"/>", "text/html", false},
        {"<head><title>x</title></head>", "text/html; charset=utf-8", true},
        {"<head><title>x</title></head>", "text/plain", false},
        {"", "TEXT/HTML", true},
        {"<?xml version=\"1.0\"?><rss/>", "application/rss+xml", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(is_html_page(c.body, c.content_type), c.html) << c.body;
    }
}

TEST(FeedDiscoveryTest, AnAddressIsFetchedOnceAndTakenForWhatItIs) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    test::LocalHttpServer server;
    server.route("/page", {200,
                           "<html><head><link rel=\"alternate\" type=\"application/atom+xml\" "
                           "href=\"feeds/atom.xml\" title=\"Atom\"></head></html>",
                           {"Content-Type: text/html"}});
    server.route("/moved", {301, "", {"Location: /page"}});
    server.route("/bare", {200, "<p>nothing here</p>", {"Content-Type: text/html"}});
    server.route("/feed.xml", {200, "<rss><channel/></rss>", {"Content-Type: text/html"}});
    DownloadOptions options;
    options.connect_timeout_ms = 2000;

    const Discovery moved = discover_feeds(server.url("/moved"), options);
    EXPECT_TRUE(moved.page);
    EXPECT_EQ(moved.page_address, server.url("/page"));
    EXPECT_EQ(moved.feeds, (std::vector<FeedLink>{{"Atom", server.url("/feeds/atom.xml")}}));

    const Discovery bare = discover_feeds(server.url("/bare"), options);
    EXPECT_TRUE(bare.page);
    EXPECT_TRUE(bare.feeds.empty());
    EXPECT_NE(render(no_feed_on_page(server.url("/bare"))).find(server.url("/bare")),
              std::string::npos);

    EXPECT_FALSE(discover_feeds(server.url("/feed.xml"), options).page);
    EXPECT_FALSE(discover_feeds(server.url("/missing"), options).page);
    EXPECT_FALSE(discover_feeds("http://127.0.0.1:1/", options).page);
    EXPECT_EQ(server.requests(), 5);
}

}  // namespace
}  // namespace tb
