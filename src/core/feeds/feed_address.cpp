#include "feeds/feed_address.h"

#include <curl/curl.h>

#include <memory>

#include "text/strings.h"

namespace tb {

namespace {

using UrlHandle = std::unique_ptr<CURLU, decltype(&curl_url_cleanup)>;

bool has_scheme(const std::string& reference) {
    const auto colon = reference.find(':');
    if (colon == std::string::npos || colon == 0) {
        return false;
    }
    for (size_t i = 0; i < colon; ++i) {
        const char c = reference[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!letter && !(i > 0 && other)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool is_web_address(const std::string& address) {
    return istarts_with_ascii(address, "http://") || istarts_with_ascii(address, "https://");
}

std::string resolve_address(const std::string& base, const std::string& reference) {
    if (has_scheme(reference) || !is_web_address(base)) {
        return reference;
    }
    UrlHandle url(curl_url(), curl_url_cleanup);
    if (!url || curl_url_set(url.get(), CURLUPART_URL, base.c_str(), 0) != CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_URL, reference.c_str(), 0) != CURLUE_OK) {
        return reference;
    }
    char* resolved = nullptr;
    if (curl_url_get(url.get(), CURLUPART_URL, &resolved, 0) != CURLUE_OK) {
        return reference;
    }
    std::string result(resolved);
    curl_free(resolved);
    return result;
}

}  // namespace tb
