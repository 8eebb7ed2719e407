#include "base/single_instance.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace norvane {

SingleInstanceGuard::SingleInstanceGuard(std::string_view name) {
    socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0) {
        return;  // without a socket we cannot tell; let the program run
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // A leading NUL puts the name into the abstract namespace: machine-wide, no file on disk,
    // released by the kernel when the last descriptor closes.
    const size_t length = std::min(name.size(), sizeof(address.sun_path) - 1);
    std::memcpy(address.sun_path + 1, name.data(), length);
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (::bind(socket_, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
        alreadyRunning_ = errno == EADDRINUSE;
        ::close(socket_);
        socket_ = -1;
    }
}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

}  // namespace norvane
