#pragma once

#include <QtGlobal>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

// A blocking line client for 127.0.0.1.
class LineClient {
public:
    explicit LineClient(quint16 port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ok_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        const int one = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    ~LineClient() { ::close(fd_); }
    LineClient(const LineClient&) = delete;
    LineClient& operator=(const LineClient&) = delete;

    bool ok() const { return ok_; }
    // A write the server does not take within `ms` fails instead of waiting on.
    void setSendTimeout(int ms) {
        const timeval limit{ms / 1000, (ms % 1000) * 1000};
        ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    }
    bool write(const std::string& text) {
        size_t sent = 0;
        while (sent < text.size()) {
            const ssize_t n = ::send(fd_, text.data() + sent, text.size() - sent, 0);
            if (n <= 0)
                return false;
            sent += static_cast<size_t>(n);
        }
        return true;
    }
    // The next line, without its line end; empty when the connection ended.
    std::string line() {
        for (;;) {
            if (const size_t end = buffer_.find('\n'); end != std::string::npos) {
                std::string out = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return out;
            }
            char chunk[65536];
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0)
                return {};
            buffer_.append(chunk, static_cast<size_t>(n));
        }
    }
    // Reads lines until the response with this numeric id.
    bool awaitResponse(int id) {
        const std::string tail = "\"id\":" + std::to_string(id) + "}";
        for (std::string l = line(); !l.empty(); l = line())
            if (l.find("\"Event\"") == std::string::npos && l.find(tail) != std::string::npos)
                return true;
        return false;
    }

private:
    int fd_ = -1;
    bool ok_ = false;
    std::string buffer_;
};
