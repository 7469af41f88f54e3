#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/reporter.h"
#include "platform/settings.h"

namespace tb {

// Result codes of one feed download.
enum class DownloadResult : int {
    Ok = 0,             // file written
    RequestFailed = 1,  // no connection, bad or refused URL, timeout, cap, abort, odd status
    ClientError = 2,    // HTTP 400-499
    ServerError = 3,    // HTTP 500-599
    EmptyBody = 4,      // HTTP 200-299 with no body
    CannotCreateFile = 5,
    NotModified = 6,  // HTTP 304 to a conditional request: the items held stay current
};

// What a server said about one version of a feed, for a conditional request next time.
struct Validators {
    std::string etag;
    std::string last_modified;

    bool empty() const { return etag.empty() && last_modified.empty(); }
    bool operator==(const Validators&) const = default;
};

struct DownloadOptions {
    long connect_timeout_ms = 15000;
    // The transfer fails when no byte arrives for this long.
    long stall_timeout_ms = 30000;
    // The whole transfer ends after this long, however slowly bytes keep arriving.
    long deadline_ms = 120000;
    std::int64_t max_body_bytes = 10 * 1024 * 1024;
    long max_redirects = 5;
};

// The options with the user's deadline.
DownloadOptions download_options(const Settings& settings);

struct Download {
    DownloadResult result = DownloadResult::RequestFailed;
    std::filesystem::path file;  // set only for Ok
    std::string address;         // where the body came from, after redirects
    std::string content_type;
    long status = 0;        // the HTTP status, 0 when no response came
    Validators validators;  // of an Ok response
    // Seconds the server asked to wait, from the Retry-After of a 429 or 503; 0 when none.
    std::int64_t retry_after_seconds = 0;
    Message failure;  // why, in a few words, when not Ok and not NotModified
};

// The last path segment of the location, made safe for a file name; "unnamed.xml" when the
// location names no object.
std::string feed_file_suffix(const std::string& location);

// Fetches the location over http or https into a new file of `folder`, decoding a compressed body;
// the size cap holds for the decoded body. With validators the request is conditional. Setting
// `abort` ends the transfer soon after with RequestFailed. Needs curl_global_init done by main.
Download download_feed(const std::string& location, const std::filesystem::path& folder,
                       const DownloadOptions& options, const std::atomic<bool>* abort = nullptr,
                       const Validators& validators = {});

// A response kept in memory: `body` is set only when the download's result is Ok.
struct FetchedPage {
    Download download;
    std::string body;
};

// The same request as download_feed's, unconditional, without saving the body.
FetchedPage download_page(const std::string& location, const DownloadOptions& options,
                          const std::atomic<bool>* abort = nullptr);

}  // namespace tb
