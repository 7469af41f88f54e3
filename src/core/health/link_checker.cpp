#include "health/link_checker.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "platform/curl_hardening.h"
#include "text/strings.h"

namespace tb {

namespace {

// Below this many hosts, a majority failing says nothing about the network.
constexpr int kMinHostsForNetworkVerdict = 3;
// How long the loop sleeps when nothing happens, so that an abort is seen soon.
constexpr int kPollMs = 100;

enum class Phase { Head, Get };

struct Transfer {
    size_t target = 0;
    std::string host;
    Phase phase = Phase::Head;
    std::vector<int> chain;  // the final statuses of the responses, in order
    bool body_reached = false;
    CURL* easy = nullptr;
};

struct HostState {
    std::deque<size_t> queue;
    int active = 0;
    bool ready = false;
    bool answered = false;
    bool down = false;
    bool finished_any = false;
};

size_t on_header(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    const std::string_view line(data, bytes);
    const auto space = line.find(' ');
    if (line.starts_with("HTTP/") && space != std::string_view::npos) {
        const int status = std::atoi(std::string(line.substr(space + 1, 3)).c_str());
        if (status >= 200) {
            transfer->chain.push_back(status);
        }
    }
    return bytes;
}

// The status is known once the body starts, and the body itself is never needed.
size_t on_body(char*, size_t, size_t, void* user) {
    static_cast<Transfer*>(user)->body_reached = true;
    return 0;
}

FailureKind failure_of(CURLcode code) {
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return FailureKind::Dns;
        case CURLE_COULDNT_CONNECT:
            return FailureKind::Connect;
        case CURLE_OPERATION_TIMEDOUT:
            return FailureKind::Timeout;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
            return FailureKind::Tls;
        default:
            return FailureKind::None;
    }
}

bool answered(CURLcode code, const Transfer& transfer) {
    return code == CURLE_OK || (code == CURLE_WRITE_ERROR && transfer.body_reached);
}

// A refused HEAD, or a HEAD answered with an error or a broken reply, is tried again with GET:
// many servers handle HEAD worse than GET, and a false alarm costs the user more than a request.
bool needs_get(CURLcode code, long status, const Transfer& transfer) {
    if (transfer.phase != Phase::Head) {
        return false;
    }
    if (answered(code, transfer)) {
        return status >= 400 || status < 200;
    }
    return failure_of(code) == FailureKind::None && code != CURLE_TOO_MANY_REDIRECTS &&
           code != CURLE_UNSUPPORTED_PROTOCOL;
}

CheckResult result_of_status(long status, const std::vector<int>& chain) {
    if (status >= 200 && status <= 299) {
        const bool permanent =
            std::any_of(chain.begin(), chain.end(), [](int s) { return s == 301 || s == 308; });
        return permanent ? CheckResult::Moved : CheckResult::Ok;
    }
    return status == 404 || status == 410 ? CheckResult::Gone : CheckResult::Error;
}

std::string lowered(const char* text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](char c) { return ascii_lower(c); });
    return result;
}

class CheckRun {
public:
    CheckRun(const CheckerOptions& options, const std::vector<CheckTarget>& targets,
             const LinkChecker::ResultSink& sink)
        : options_(options), targets_(targets), sink_(sink), multi_(curl_multi_init()) {}
    ~CheckRun() {
        for (auto& [easy, transfer] : transfers_) {
            curl_multi_remove_handle(multi_, easy);
            curl_easy_cleanup(easy);
        }
        curl_multi_cleanup(multi_);
    }
    CheckRun(const CheckRun&) = delete;
    CheckRun& operator=(const CheckRun&) = delete;

    CheckSummary run(const std::atomic<bool>* abort);

private:
    void enqueue_all();
    void fill();
    void start(size_t target, const std::string& host);
    void begin_request(Transfer& transfer, Phase phase);
    void finish(CURL* easy, CURLcode code);
    void deliver(CheckOutcome outcome, const std::string& host);
    void mark_ready(const std::string& host);

    const CheckerOptions& options_;
    const std::vector<CheckTarget>& targets_;
    const LinkChecker::ResultSink& sink_;
    CURLM* multi_;
    std::unordered_map<std::string, HostState> hosts_;
    std::deque<std::string> ready_;
    std::unordered_map<CURL*, std::unique_ptr<Transfer>> transfers_;
    CheckSummary summary_;
};

void CheckRun::mark_ready(const std::string& host) {
    HostState& state = hosts_[host];
    if (!state.ready && !state.queue.empty() && state.active < options_.max_per_host) {
        state.ready = true;
        ready_.push_back(host);
    }
}

void CheckRun::enqueue_all() {
    for (size_t i = 0; i < targets_.size(); ++i) {
        const std::string host = check_host(targets_[i].url);
        if (host.empty()) {
            deliver({.link = targets_[i].link, .url = targets_[i].url}, host);
            continue;
        }
        hosts_[host].queue.push_back(i);
        mark_ready(host);
    }
}

void CheckRun::fill() {
    const size_t limit = static_cast<size_t>(std::max(1, options_.max_transfers));
    while (transfers_.size() < limit && !ready_.empty()) {
        const std::string host = ready_.front();
        ready_.pop_front();
        HostState& state = hosts_[host];
        state.ready = false;
        if (state.queue.empty() || state.active >= options_.max_per_host) {
            continue;
        }
        const size_t target = state.queue.front();
        state.queue.pop_front();
        start(target, host);
        mark_ready(host);
    }
}

void CheckRun::start(size_t target, const std::string& host) {
    CURL* easy = curl_easy_init();
    if (easy == nullptr) {
        deliver({.link = targets_[target].link, .url = targets_[target].url}, host);
        return;
    }
    auto transfer = std::make_unique<Transfer>();
    transfer->target = target;
    transfer->host = host;
    transfer->easy = easy;
    harden_transfer(easy, {.connect_timeout_ms = options_.connect_timeout_ms,
                           .max_redirects = options_.max_redirects});
    curl_easy_setopt(easy, CURLOPT_URL, targets_[target].url.c_str());
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, options_.timeout_ms);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, on_header);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, transfer.get());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, on_body);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer.get());
    ++hosts_[host].active;
    Transfer& ref = *transfer;
    transfers_.emplace(easy, std::move(transfer));
    begin_request(ref, Phase::Head);
}

void CheckRun::begin_request(Transfer& transfer, Phase phase) {
    transfer.phase = phase;
    transfer.chain.clear();
    transfer.body_reached = false;
    if (phase == Phase::Head) {
        curl_easy_setopt(transfer.easy, CURLOPT_NOBODY, 1L);
    } else {
        curl_easy_setopt(transfer.easy, CURLOPT_HTTPGET, 1L);
    }
    curl_multi_add_handle(multi_, transfer.easy);
}

void CheckRun::finish(CURL* easy, CURLcode code) {
    Transfer& transfer = *transfers_.at(easy);
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    curl_multi_remove_handle(multi_, easy);
    if (needs_get(code, status, transfer)) {
        begin_request(transfer, Phase::Get);
        return;
    }
    const CheckTarget& target = targets_[transfer.target];
    CheckOutcome outcome{
        .link = target.link, .url = target.url, .status = static_cast<int>(status)};
    const char* effective = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK &&
        effective != nullptr && status != 0) {
        outcome.final_url = effective;
    }
    if (answered(code, transfer)) {
        outcome.result = result_of_status(status, transfer.chain);
    } else {
        outcome.failure = failure_of(code);
        outcome.result =
            outcome.failure == FailureKind::None ? CheckResult::Error : CheckResult::Unreachable;
    }
    const std::string host = transfer.host;
    transfers_.erase(easy);
    curl_easy_cleanup(easy);
    --hosts_[host].active;
    mark_ready(host);
    deliver(std::move(outcome), host);
}

void CheckRun::deliver(CheckOutcome outcome, const std::string& host) {
    ++summary_.checked;
    if (!host.empty()) {
        HostState& state = hosts_[host];
        state.finished_any = true;
        state.answered = state.answered || outcome.status != 0;
        state.down = state.down || outcome.failure == FailureKind::Dns ||
                     outcome.failure == FailureKind::Connect;
    }
    sink_(outcome);
}

CheckSummary CheckRun::run(const std::atomic<bool>* abort) {
    if (multi_ == nullptr) {
        return summary_;
    }
    enqueue_all();
    fill();
    while (!transfers_.empty()) {
        if (abort != nullptr && abort->load()) {
            summary_.cancelled = true;
            break;
        }
        int running = 0;
        curl_multi_perform(multi_, &running);
        std::vector<std::pair<CURL*, CURLcode>> done;
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
            if (message->msg == CURLMSG_DONE) {
                done.emplace_back(message->easy_handle, message->data.result);
            }
        }
        for (auto [easy, code] : done) {
            finish(easy, code);
        }
        fill();
        if (!transfers_.empty() && done.empty()) {
            curl_multi_poll(multi_, nullptr, 0, kPollMs, nullptr);
        }
    }
    for (const auto& [host, state] : hosts_) {
        summary_.hosts += state.finished_any ? 1 : 0;
        summary_.hosts_down += state.finished_any && state.down && !state.answered ? 1 : 0;
    }
    return summary_;
}

}  // namespace

bool CheckSummary::network_unavailable() const {
    return hosts >= kMinHostsForNetworkVerdict && hosts_down * 2 > hosts;
}

std::string check_host(const std::string& url) {
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), curl_url_cleanup);
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
        return {};
    }
    char* scheme = nullptr;
    char* host = nullptr;
    std::string result;
    if (curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
        curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK) {
        const std::string name = lowered(scheme);
        result = name == "http" || name == "https" ? lowered(host) : std::string();
    }
    curl_free(scheme);
    curl_free(host);
    return result;
}

CheckSummary LinkChecker::run(const std::vector<CheckTarget>& targets, const ResultSink& sink,
                              const std::atomic<bool>* abort) const {
    CheckRun run(options_, targets, sink);
    return run.run(abort);
}

}  // namespace tb
