// Keeps a second copy of the program from running beside the first, for every user of the
// machine: the first process takes a machine-wide name that the kernel gives back when the
// process ends, however it ends.
#pragma once

#include <string>
#include <string_view>

namespace norvane {

// The name the program guards itself with.
inline constexpr std::string_view kInstanceLockName =
    "Global\\{031E39EE-C125-42f7-99E7-5535EEF1B11C}";

class SingleInstanceGuard {
  public:
    // Takes `name` in the abstract socket namespace (not a file, so nothing is left behind).
    explicit SingleInstanceGuard(std::string_view name = kInstanceLockName);
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;
    ~SingleInstanceGuard();

    // True when another process held the name when this guard was made.
    bool IsAlreadyRunning() const { return alreadyRunning_; }

  private:
    int socket_ = -1;
    bool alreadyRunning_ = false;
};

}  // namespace norvane
