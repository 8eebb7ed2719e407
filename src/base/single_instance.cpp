#include "base/single_instance.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstddef>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "base/file_descriptor.h"

namespace norvane {

namespace {

constexpr std::string_view kMagic = "norvane-start/1\n";
constexpr std::string_view kFile = "file ";
constexpr std::string_view kEnd = "end\n";
constexpr size_t kMaxFileName = 4096;

// The abstract address of `name`: a leading NUL puts it into the abstract namespace
// (machine-wide, no file on disk, released by the kernel when the last descriptor closes).
socklen_t AbstractAddress(std::string_view name, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    const size_t length = std::min(name.size(), sizeof(address.sun_path) - 1);
    std::memcpy(address.sun_path + 1, name.data(), length);
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

}  // namespace

std::string EncodeInstanceRequest(const InstanceRequest& request) {
    std::string bytes(kMagic);
    if (!request.fileName.empty()) {
        bytes += kFile;
        bytes += std::to_string(request.fileName.size());
        bytes += '\n';
        bytes += request.fileName;
    }
    bytes += kEnd;
    return bytes;
}

std::optional<InstanceRequest> DecodeInstanceRequest(std::string_view bytes) {
    if (bytes.size() > kMaxInstanceRequest || bytes.substr(0, kMagic.size()) != kMagic) {
        return std::nullopt;
    }
    bytes.remove_prefix(kMagic.size());
    InstanceRequest request;
    if (bytes.substr(0, kFile.size()) == kFile) {
        bytes.remove_prefix(kFile.size());
        const size_t newline = bytes.find('\n');
        if (newline == std::string_view::npos || newline == 0 || newline > 4 ||
            bytes.front() == '0') {
            return std::nullopt;
        }
        size_t length = 0;
        const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + newline, length);
        if (error != std::errc() || end != bytes.data() + newline || length > kMaxFileName ||
            length > bytes.size() - newline - 1) {
            return std::nullopt;
        }
        request.fileName = std::string(bytes.substr(newline + 1, length));
        bytes.remove_prefix(newline + 1 + length);
    }
    if (bytes != kEnd) {
        return std::nullopt;
    }
    return request;
}

SingleInstanceGuard::SingleInstanceGuard(std::string_view name) : name_(name) {
    socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket_ < 0) {
        return;  // without a socket we cannot tell; let the program run
    }
    sockaddr_un address;
    const socklen_t size = AbstractAddress(name, address);
    if (::bind(socket_, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
        alreadyRunning_ = errno == EADDRINUSE;
        ::close(socket_);
        socket_ = -1;
        return;
    }
    // The name is ours whether or not others can reach us; a failed listen only means that
    // a second start cannot raise this one.
    static_cast<void>(::listen(socket_, 8));
}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

std::optional<InstanceRequest> SingleInstanceGuard::ReceiveRequest(int timeoutMs) const {
    if (socket_ < 0) {
        return std::nullopt;
    }
    const FileDescriptor connection(
        ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (connection.get() < 0) {
        return std::nullopt;
    }
    // The name is machine-wide; only the user's own starts may ask anything of the window.
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(connection.get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
        peer.uid != ::geteuid()) {
        return std::nullopt;
    }
    std::string bytes;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    char buffer[1024];
    while (bytes.size() <= kMaxInstanceRequest) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() < 0) {
            return std::nullopt;
        }
        pollfd wait{connection.get(), POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return std::nullopt;
        }
        const ssize_t got = ::read(connection.get(), buffer, sizeof buffer);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return DecodeInstanceRequest(bytes);  // the sender is done
        }
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return std::nullopt;  // more than any request
}

bool SendInstanceRequest(std::string_view name, const InstanceRequest& request) {
    const FileDescriptor connection(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (connection.get() < 0) {
        return false;
    }
    sockaddr_un address;
    const socklen_t size = AbstractAddress(name, address);
    if (::connect(connection.get(), reinterpret_cast<const sockaddr*>(&address), size) != 0) {
        return false;
    }
    // A first process that does not read must not hold the second one up for long.
    const timeval limit{1, 0};
    ::setsockopt(connection.get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    const std::string bytes = EncodeInstanceRequest(request);
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t wrote =
            ::send(connection.get(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        sent += static_cast<size_t>(wrote);
    }
    return ::shutdown(connection.get(), SHUT_WR) == 0;
}

}  // namespace norvane
