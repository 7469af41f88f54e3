#include "local_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace tb::test {

namespace {

bool send_all(int socket, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(socket, data, size, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

struct Request {
    std::string method;
    std::string path;
    std::string text;  // the request line and headers
};

Request read_request(int client) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return {};
        }
        request.append(buffer, static_cast<size_t>(n));
    }
    const auto start = request.find(' ');
    const auto end = request.find(' ', start + 1);
    if (start == std::string::npos || end == std::string::npos) {
        return {};
    }
    return {request.substr(0, start), request.substr(start + 1, end - start - 1), request};
}

}  // namespace

LocalHttpServer::LocalHttpServer(const std::string& bind_address, Gauge* shared)
    : address_(bind_address), shared_(shared) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    socklen_t length = sizeof address;
    if (::inet_pton(AF_INET, bind_address.c_str(), &address.sin_addr) != 1 || listener_ < 0 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 256) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot start the local HTTP server");
    }
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { accept_loop(); });
}

LocalHttpServer::~LocalHttpServer() {
    stop();
}

void LocalHttpServer::route(const std::string& path, Response response) {
    std::lock_guard lock(mutex_);
    routes_[path] = std::move(response);
}

void LocalHttpServer::route_if(const std::string& path, const std::string& header,
                               Response response) {
    std::lock_guard lock(mutex_);
    conditional_routes_[path] = {"\r\n" + header + "\r\n", std::move(response)};
}

std::string LocalHttpServer::last_request() const {
    std::lock_guard lock(mutex_);
    return last_request_;
}

std::string LocalHttpServer::url(const std::string& path) const {
    return "http://" + address_ + ":" + std::to_string(port_) + path;
}

void LocalHttpServer::stop() {
    if (stopping_.exchange(true)) {
        return;
    }
    ::shutdown(listener_, SHUT_RDWR);
    stalled_.notify_all();
    acceptor_.join();
    ::close(listener_);
    std::unique_lock lock(mutex_);
    all_closed_.wait(lock, [this] { return connections_ == 0; });
}

void LocalHttpServer::accept_loop() {
    for (;;) {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0 || stopping_) {
            if (client >= 0) {
                ::close(client);
            }
            return;
        }
        {
            std::lock_guard lock(mutex_);
            ++connections_;
        }
        // Detached, so that a long run does not keep every finished thread until stop().
        std::thread([this, client] {
            serve(client);
            ::close(client);
            std::lock_guard lock(mutex_);
            if (--connections_ == 0) {
                all_closed_.notify_all();
            }
        }).detach();
    }
}

void LocalHttpServer::Gauge::enter() {
    const int now = ++active;
    int seen = peak;
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
}

void LocalHttpServer::serve(int client) {
    gauge_.enter();
    if (shared_ != nullptr) {
        shared_->enter();
    }
    const Request request = read_request(client);
    const bool head = request.method == "HEAD";
    ++requests_;
    head_requests_ += head ? 1 : 0;
    Response response;
    {
        std::lock_guard lock(mutex_);
        last_request_ = request.text;
        // The query is not part of the route.
        const std::string path = request.path.substr(0, request.path.find('?'));
        const auto found = routes_.find(path);
        response = found != routes_.end() ? found->second : Response{404, "not found"};
        const auto conditional = conditional_routes_.find(path);
        if (conditional != conditional_routes_.end() &&
            request.text.find(conditional->second.first) != std::string::npos) {
            response = conditional->second.second;
        }
    }
    if (response.delay.count() > 0) {
        std::unique_lock lock(mutex_);
        stalled_.wait_for(lock, response.delay, [this] { return stopping_.load(); });
    }
    // Counted out before answering: the client starts its next request only after the answer.
    gauge_.leave();
    if (shared_ != nullptr) {
        shared_->leave();
    }
    send_response(client, response, head);
}

void LocalHttpServer::send_response(int client, const Response& response, bool head) {
    const int status = head && response.head_status != 0 ? response.head_status : response.status;
    std::string head_text = "HTTP/1.1 " + std::to_string(status) + " Test\r\n";
    for (const std::string& header : response.headers) {
        head_text += header + "\r\n";
    }
    if (response.content_length) {
        head_text += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    }
    head_text += "Connection: close\r\n\r\n";
    if (!send_all(client, head_text.data(), head_text.size()) || head) {
        return;
    }
    if (response.drip_interval_ms >= 0) {
        for (char byte : response.body) {
            if (stopping_ || !send_all(client, &byte, 1)) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(response.drip_interval_ms));
        }
        return;
    }
    if (response.stall_after < 0) {
        send_all(client, response.body.data(), response.body.size());
        return;
    }
    send_all(client, response.body.data(), static_cast<size_t>(response.stall_after));
    std::unique_lock lock(mutex_);
    stalled_.wait(lock, [this] { return stopping_.load(); });
}

}  // namespace tb::test
