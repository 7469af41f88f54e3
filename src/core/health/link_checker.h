#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "storage/ids.h"

namespace tb {

// The result of one check; the numbers are stored in tb_link_checks.
enum class CheckResult : int {
    Ok = 0,
    Moved = 1,        // a permanent redirect on the way to a 2xx answer
    Gone = 2,         // 404 or 410
    Error = 3,        // another 4xx or 5xx, a redirect loop, a broken answer
    Unreachable = 4,  // DNS, connect, TLS or time-out
};

// Why a transfer got no answer; DNS and connect failures of most hosts mean no network.
enum class FailureKind { None, Dns, Connect, Tls, Timeout };

struct CheckTarget {
    RowId link = 0;
    std::string url;
};

struct CheckOutcome {
    RowId link = 0;
    std::string url;
    CheckResult result = CheckResult::Error;
    int status = 0;         // the last HTTP status, 0 without an answer
    std::string final_url;  // the end of the redirect chain
    FailureKind failure = FailureKind::None;
};

struct CheckerOptions {
    int max_transfers = 16;
    int max_per_host = 2;
    long connect_timeout_ms = 15000;
    // The whole exchange of one request, connection included.
    long timeout_ms = 30000;
    long max_redirects = 5;
};

struct CheckSummary {
    int checked = 0;
    int hosts = 0;
    int hosts_down = 0;  // hosts that failed at DNS or connect and never answered
    bool cancelled = false;

    // Most hosts failed at DNS or connect: the results say more about the network than about
    // the links. Below a few hosts that majority says nothing.
    bool network_unavailable() const;
};

// Checks addresses over http and https on libcurl's multi interface: HEAD first, GET when the
// server refuses HEAD or answers it wrongly, no body kept. Needs curl_global_init done by main.
class LinkChecker {
public:
    explicit LinkChecker(CheckerOptions options = {}) : options_(options) {}

    using ResultSink = std::function<void(const CheckOutcome&)>;
    // Checks every target, reporting each result on the calling thread as it arrives. Setting
    // `abort` ends the run soon after; unfinished targets get no result.
    CheckSummary run(const std::vector<CheckTarget>& targets, const ResultSink& sink,
                     const std::atomic<bool>* abort = nullptr) const;

private:
    CheckerOptions options_;
};

// The host part of an http or https address, lower-cased; empty for anything else.
std::string check_host(const std::string& url);

}  // namespace tb
