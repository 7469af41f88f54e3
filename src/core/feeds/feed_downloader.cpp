#include "feeds/feed_downloader.h"

#include <curl/curl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "platform/curl_hardening.h"
#include "text/temp_files.h"

namespace tb {

namespace {

constexpr std::int64_t kMegabyte = 1024 * 1024;
constexpr const char* kUnnamed = "unnamed.xml";
constexpr std::size_t kMaxSuffixLength = 80;

struct Transfer {
    std::string body;
    std::int64_t cap = 0;
    const std::atomic<bool>* abort = nullptr;
    std::chrono::milliseconds stall_timeout{0};
    curl_off_t last_received = -1;
    std::chrono::steady_clock::time_point last_change;
    bool stalled = false;
    bool over_cap = false;
};

using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

// Also enforces the cap: older libcurl checks its size limit only against a declared length.
size_t on_write(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (static_cast<std::int64_t>(transfer->body.size() + bytes) > transfer->cap) {
        transfer->over_cap = true;
        return CURL_WRITEFUNC_ERROR;
    }
    transfer->body.append(data, bytes);
    return bytes;
}

// Ends the transfer on abort, or when nothing arrived for the stall timeout: libcurl's own
// low-speed check averages over several seconds and reacts late.
int on_progress(void* user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t) {
    auto* transfer = static_cast<Transfer*>(user);
    if (transfer->abort != nullptr && transfer->abort->load()) {
        return 1;
    }
    const auto now = std::chrono::steady_clock::now();
    if (received != transfer->last_received) {
        transfer->last_received = received;
        transfer->last_change = now;
        return 0;
    }
    transfer->stalled = now - transfer->last_change > transfer->stall_timeout;
    return transfer->stalled ? 1 : 0;
}

// The path of a location, without scheme, host, query and fragment.
std::string url_path(const std::string& location) {
    const auto scheme = location.find("://");
    const auto host = scheme == std::string::npos ? 0 : scheme + 3;
    const auto end = location.find_first_of("?#", host);
    const auto path = location.find('/', host);
    return path == std::string::npos || path > end ? std::string()
                                                   : location.substr(path, end - path);
}

void configure(CURL* curl, const std::string& location, const DownloadOptions& options,
               Transfer& transfer) {
    harden_transfer(curl, {.connect_timeout_ms = options.connect_timeout_ms,
                           .max_redirects = options.max_redirects});
    curl_easy_setopt(curl, CURLOPT_URL, location.c_str());
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, options.deadline_ms);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(options.max_body_bytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, on_write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, on_progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
}

bool write_all(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// mkstemps gives each download its own name, even for two in the same second; the prefix marks it
// as the program's own, for the clean-up of what a killed update left.
std::filesystem::path save_body(const std::string& body, const std::filesystem::path& folder,
                                const std::string& suffix) {
    std::string name = (folder / temp_file_name("XXXXXX-" + suffix)).string();
    const int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size() + 1));
    if (fd < 0) {
        return {};
    }
    const bool written = write_all(fd, body);
    if (::close(fd) != 0 || !written) {
        ::unlink(name.c_str());
        return {};
    }
    return name;
}

// Only when this process holds the items of an earlier full response: a 304 says nothing new
// about items it does not have.
HeaderList conditional_headers(const Validators& validators) {
    curl_slist* list = nullptr;
    if (!validators.etag.empty()) {
        list = curl_slist_append(list, ("If-None-Match: " + validators.etag).c_str());
    }
    if (!validators.last_modified.empty()) {
        list = curl_slist_append(list, ("If-Modified-Since: " + validators.last_modified).c_str());
    }
    return HeaderList(list, curl_slist_free_all);
}

std::string response_header(CURL* curl, const char* name) {
    curl_header* header = nullptr;
    if (curl_easy_header(curl, name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK) {
        return {};
    }
    return header->value;
}

std::string response_info(CURL* curl, CURLINFO info) {
    const char* value = nullptr;
    curl_easy_getinfo(curl, info, &value);
    return value == nullptr ? std::string() : value;
}

// Retry-After holds either a number of seconds or an HTTP date.
std::int64_t retry_after_seconds(const std::string& value) {
    if (value.empty()) {
        return 0;
    }
    char* end = nullptr;
    const long long seconds = std::strtoll(value.c_str(), &end, 10);
    if (*end == '\0') {
        return seconds > 0 ? seconds : 0;
    }
    const std::time_t when = curl_getdate(value.c_str(), nullptr);
    const std::time_t now = std::time(nullptr);
    return when > now ? static_cast<std::int64_t>(when - now) : 0;
}

Message transfer_failure(CURLcode code, const Transfer& transfer, std::int64_t cap) {
    if (transfer.over_cap || code == CURLE_FILESIZE_EXCEEDED) {
        return Message::plain(TB_TRANSLATE_NOOP("Strings", "larger than %1 MB"),
                              {std::to_string((cap + kMegabyte - 1) / kMegabyte)});
    }
    if (transfer.stalled || code == CURLE_OPERATION_TIMEDOUT) {
        return Message::plain(TB_TRANSLATE_NOOP("Strings", "timed out"));
    }
    return Message::plain(curl_easy_strerror(code));
}

Message status_failure(DownloadResult result, long status) {
    if (result == DownloadResult::EmptyBody) {
        return Message::plain(TB_TRANSLATE_NOOP("Strings", "empty response"));
    }
    return Message::plain(TB_TRANSLATE_NOOP("Strings", "HTTP status %1"), {std::to_string(status)});
}

DownloadResult classify(long status, const std::string& body) {
    if (status == 304) {
        return DownloadResult::NotModified;
    }
    if (status >= 400 && status <= 499) {
        return DownloadResult::ClientError;
    }
    if (status >= 500 && status <= 599) {
        return DownloadResult::ServerError;
    }
    if (status < 200 || status > 299) {
        return DownloadResult::RequestFailed;
    }
    return body.empty() ? DownloadResult::EmptyBody : DownloadResult::Ok;
}

}  // namespace

std::string feed_file_suffix(const std::string& location) {
    const std::string path = url_path(location);
    const auto slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) {
        return kUnnamed;
    }
    for (char& c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        c = plain ? c : '_';
    }
    if (name.size() > kMaxSuffixLength) {
        name.erase(0, name.size() - kMaxSuffixLength);
    }
    return name;
}

DownloadOptions download_options(const Settings& settings) {
    DownloadOptions options;
    options.deadline_ms = settings.feed_download_deadline * 1000L;
    return options;
}

namespace {

// The request and its response, with an Ok body left in `body` rather than saved.
Download fetch(const std::string& location, const DownloadOptions& options,
               const std::atomic<bool>* abort, const Validators& validators, std::string& body) {
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    Download download;
    download.address = location;
    // A download that waited for a worker while the program was closing does not start.
    const CURLcode refused = !curl                               ? CURLE_FAILED_INIT
                             : abort != nullptr && abort->load() ? CURLE_ABORTED_BY_CALLBACK
                                                                 : CURLE_OK;
    if (refused != CURLE_OK) {
        download.failure = Message::plain(curl_easy_strerror(refused));
        return download;
    }
    Transfer transfer;
    transfer.cap = options.max_body_bytes;
    transfer.abort = abort;
    transfer.stall_timeout = std::chrono::milliseconds(options.stall_timeout_ms);
    transfer.last_change = std::chrono::steady_clock::now();
    configure(curl.get(), location, options, transfer);
    const HeaderList headers = conditional_headers(validators);
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
    const CURLcode code = curl_easy_perform(curl.get());
    if (code != CURLE_OK) {
        download.failure = transfer_failure(code, transfer, options.max_body_bytes);
        return download;
    }
    long& status = download.status;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    download.address = response_info(curl.get(), CURLINFO_EFFECTIVE_URL);
    download.content_type = response_info(curl.get(), CURLINFO_CONTENT_TYPE);
    download.result = classify(status, transfer.body);
    if (status == 429 || status == 503) {
        download.retry_after_seconds =
            retry_after_seconds(response_header(curl.get(), "Retry-After"));
    }
    if (download.result == DownloadResult::NotModified) {
        return download;
    }
    if (download.result != DownloadResult::Ok) {
        download.failure = status_failure(download.result, status);
        return download;
    }
    download.validators = {response_header(curl.get(), "ETag"),
                           response_header(curl.get(), "Last-Modified")};
    body = std::move(transfer.body);
    return download;
}

}  // namespace

Download download_feed(const std::string& location, const std::filesystem::path& folder,
                       const DownloadOptions& options, const std::atomic<bool>* abort,
                       const Validators& validators) {
    std::string body;
    Download download = fetch(location, options, abort, validators, body);
    if (download.result != DownloadResult::Ok) {
        return download;
    }
    download.file = save_body(body, folder, feed_file_suffix(location));
    if (download.file.empty()) {
        download.result = DownloadResult::CannotCreateFile;
        download.failure = Message::plain(
            TB_TRANSLATE_NOOP("Strings", "cannot save the download in %1"), {folder.string()});
    }
    return download;
}

FetchedPage download_page(const std::string& location, const DownloadOptions& options,
                          const std::atomic<bool>* abort) {
    FetchedPage page;
    page.download = fetch(location, options, abort, {}, page.body);
    return page;
}

}  // namespace tb
