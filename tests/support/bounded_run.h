// Runs a piece of a test in a child process with a time limit, so that a call that blocks
// forever (a reader waiting for a FIFO's writer) fails its test instead of hanging the suite.
#pragma once

#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace norvane::testing {

// Whether `body` returned true in a child process within `limit`. The child ends with _exit,
// so that nothing of the test framework runs twice.
inline bool FinishesWithin(std::chrono::milliseconds limit, const std::function<bool()>& body) {
    const pid_t child = ::fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        ::_exit(body() ? 0 : 1);
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace norvane::testing
