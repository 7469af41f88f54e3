#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tb::test {

// A small HTTP/1.1 server on a loopback address for download and link-check tests; one thread
// per connection, every response closes its connection. Unknown paths answer 404; HEAD requests
// get the headers only.
class LocalHttpServer {
public:
    struct Response {
        Response(int status = 200, std::string body = {}, std::vector<std::string> headers = {})
            : status(status), body(std::move(body)), headers(std::move(headers)) {}

        int status = 200;
        std::string body;
        std::vector<std::string> headers;  // "Name: value"
        bool content_length = true;        // without it the body ends when the connection closes
        // Sends the headers and this many bytes of the body, then goes silent until stop().
        long stall_after = -1;
        // Sends the body one byte at a time with this pause between bytes.
        long drip_interval_ms = -1;
        // The status for HEAD when it differs (a server that refuses HEAD), 0 for the same.
        int head_status = 0;
        // Waits this long before answering; stop() cuts the wait short.
        std::chrono::milliseconds delay{0};
    };

    // Requests in progress and their peak, over one server or shared by several.
    struct Gauge {
        std::atomic<int> active{0};
        std::atomic<int> peak{0};
        void enter();
        void leave() { --active; }
    };

    // `address` is one of the 127.0.0.0/8 addresses, each a host of its own for a client.
    explicit LocalHttpServer(const std::string& address = "127.0.0.1", Gauge* shared = nullptr);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    void route(const std::string& path, Response response);
    // Answers requests for `path` that hold the header line `header` ("Name: value") with this
    // response instead of the route's.
    void route_if(const std::string& path, const std::string& header, Response response);
    // The request line and headers of the last request served.
    std::string last_request() const;
    std::string url(const std::string& path) const;
    int requests() const { return requests_; }
    int head_requests() const { return head_requests_; }
    // The most requests this server handled at one time.
    int peak_concurrency() const { return gauge_.peak; }
    const std::string& address() const { return address_; }
    int port() const { return port_; }
    void stop();

private:
    void accept_loop();
    void serve(int client);
    void send_response(int client, const Response& response, bool head);

    std::string address_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> requests_{0};
    std::atomic<int> head_requests_{0};
    Gauge gauge_;
    Gauge* shared_ = nullptr;
    mutable std::mutex mutex_;
    std::condition_variable stalled_;
    std::map<std::string, Response> routes_;
    std::map<std::string, std::pair<std::string, Response>> conditional_routes_;
    std::string last_request_;
    std::condition_variable all_closed_;
    int connections_ = 0;
    std::thread acceptor_;
};

}  // namespace tb::test
