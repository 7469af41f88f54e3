#pragma once

#include <curl/curl.h>

#include <string>

namespace tb {

// What every transfer of the program allows: plain web addresses, a bounded chain of redirects
// and a bounded wait for the connection.
struct HttpLimits {
    long connect_timeout_ms = 15000;
    long max_redirects = 5;
};

// The User-Agent of every transfer: the program's name and version.
std::string user_agent();

// The options every easy handle gets: http and https only (redirects included), verified TLS, no
// signals, the program's User-Agent and the limits.
void harden_transfer(CURL* curl, const HttpLimits& limits);

}  // namespace tb
