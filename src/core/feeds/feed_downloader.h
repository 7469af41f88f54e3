#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tb {

// Result codes of one feed download.
enum class DownloadResult : int {
    Ok = 0,             // file written
    RequestFailed = 1,  // no connection, bad or refused URL, timeout, cap, abort, odd status
    ClientError = 2,    // HTTP 400-499
    ServerError = 3,    // HTTP 500-599
    EmptyBody = 4,      // HTTP 200-299 with no body
    CannotCreateFile = 5,
};

struct DownloadOptions {
    long connect_timeout_ms = 15000;
    // The transfer fails when no byte arrives for this long.
    long stall_timeout_ms = 30000;
    std::int64_t max_body_bytes = 10 * 1024 * 1024;
    long max_redirects = 5;
};

struct Download {
    DownloadResult result = DownloadResult::RequestFailed;
    std::filesystem::path file;  // set only for Ok
};

// The last path segment of the location, made safe for a file name; "unnamed.xml" when the
// location names no object.
std::string feed_file_suffix(const std::string& location);

// Fetches the location over http or https into a new file of `folder`, byte for byte. Setting
// `abort` ends the transfer soon after with RequestFailed. Needs curl_global_init done by main.
Download download_feed(const std::string& location, const std::filesystem::path& folder,
                       const DownloadOptions& options, const std::atomic<bool>* abort = nullptr);

}  // namespace tb
