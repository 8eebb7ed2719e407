// Keeps a second copy of the program from running beside the first, for every user of the
// machine: the first process takes a machine-wide name that the kernel gives back when the
// process ends, however it ends. The name is a listening socket: a second start hands the
// first its request (come to the front; the file it was given) and ends.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace norvane {

// The name the program guards itself with.
inline constexpr std::string_view kInstanceLockName =
    "Global\\{031E39EE-C125-42f7-99E7-5535EEF1B11C}";

// What a second start asks of the running program.
struct InstanceRequest {
    std::string fileName;  // the file named on its command line, as an absolute path; or empty

    bool operator==(const InstanceRequest&) const = default;
};

// The longest request on the wire; a path is at most 4096 bytes.
inline constexpr size_t kMaxInstanceRequest = 4200;

// A request on the wire: the line "norvane-start/1", then for a file "file N" and its N bytes,
// then the line "end". A name may hold any byte.
std::string EncodeInstanceRequest(const InstanceRequest& request);
// The request `bytes` hold exactly; none for anything else (other bytes, cut short, too long).
std::optional<InstanceRequest> DecodeInstanceRequest(std::string_view bytes);

class SingleInstanceGuard {
  public:
    // Takes `name` in the abstract socket namespace (not a file, so nothing is left behind).
    explicit SingleInstanceGuard(std::string_view name = kInstanceLockName);
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;
    ~SingleInstanceGuard();

    // True when another process held the name when this guard was made.
    bool IsAlreadyRunning() const { return alreadyRunning_; }
    const std::string& Name() const { return name_; }

    // The socket that second starts connect to (non-blocking; readable while one waits), or -1
    // when this guard does not hold the name.
    int ListeningSocket() const { return socket_; }

    // Takes one waiting connection and reads its request, for at most `timeoutMs`. None when
    // no connection waits, when it comes from another user's process, or when it does not
    // hold exactly one request in time.
    std::optional<InstanceRequest> ReceiveRequest(int timeoutMs) const;

  private:
    std::string name_;
    int socket_ = -1;
    bool alreadyRunning_ = false;
};

// Hands `request` to the process that holds `name`; false when none listens there or the
// request could not be written.
bool SendInstanceRequest(std::string_view name, const InstanceRequest& request);

}  // namespace norvane
