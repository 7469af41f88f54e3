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

std::string read_request(int client) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return {};
        }
        request.append(buffer, static_cast<size_t>(n));
    }
    return request;
}

std::string request_path(const std::string& request) {
    const auto start = request.find(' ');
    const auto end = request.find(' ', start + 1);
    return start == std::string::npos || end == std::string::npos
               ? std::string()
               : request.substr(start + 1, end - start - 1);
}

}  // namespace

LocalHttpServer::LocalHttpServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 64) != 0 ||
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
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LocalHttpServer::stop() {
    if (stopping_.exchange(true)) {
        return;
    }
    ::shutdown(listener_, SHUT_RDWR);
    stalled_.notify_all();
    acceptor_.join();
    ::close(listener_);
    for (std::thread& connection : connections_) {
        connection.join();
    }
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
        connections_.emplace_back([this, client] {
            serve(client);
            ::close(client);
        });
    }
}

void LocalHttpServer::serve(int client) {
    const std::string request = read_request(client);
    const std::string path = request_path(request);
    ++requests_;
    Response response;
    {
        std::lock_guard lock(mutex_);
        last_request_ = request;
        const auto found = routes_.find(path);
        response = found != routes_.end() ? found->second : Response{404, "not found"};
        const auto conditional = conditional_routes_.find(path);
        if (conditional != conditional_routes_.end() &&
            request.find(conditional->second.first) != std::string::npos) {
            response = conditional->second.second;
        }
    }
    send_response(client, response);
}

void LocalHttpServer::send_response(int client, const Response& response) {
    std::string head = "HTTP/1.1 " + std::to_string(response.status) + " Test\r\n";
    for (const std::string& header : response.headers) {
        head += header + "\r\n";
    }
    if (response.content_length) {
        head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    }
    head += "Connection: close\r\n\r\n";
    if (!send_all(client, head.data(), head.size())) {
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
