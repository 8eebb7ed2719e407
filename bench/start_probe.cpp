// Measures one start of a window program on the X server in $DISPLAY:
//
//   start_probe PROGRAM [ARGUMENT]...
//
// prints one line "mapped_ms=M cpu_ms=C start_ms=S": M is the time from the exec to the first
// top-level window of the program being mapped, C the CPU time (user and system, all threads)
// the program has used by the time it is ready for input, S the later of the two, which is
// what the user waits for. "Ready" is taken to be the moment from which the program, with its
// window mapped, stays idle (no more than 1 ms of CPU in 300 ms): a program that maps its
// window and then works on keeps the user waiting until it is done.
//
// The program is ended (SIGTERM) once it is ready. Exit status 1 when it ends by itself
// before, or does not map a window within 30 seconds.
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>  // NOLINT(modernize-deprecated-headers): POSIX kill, sigaction
#include <sys/wait.h>
#include <time.h>  // NOLINT(modernize-deprecated-headers): POSIX clock_gettime
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

double Seconds(clockid_t clock) {
    timespec now{};
    if (clock_gettime(clock, &now) != 0) {
        return -1;
    }
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The CPU time of every thread of the process, or a negative value once it is gone.
double CpuSeconds(pid_t pid) {
    clockid_t clock{};
    if (clock_getcpuclockid(pid, &clock) != 0) {
        return -1;
    }
    return Seconds(clock);
}

bool Exited(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: start_probe PROGRAM [ARGUMENT]...\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "start_probe: cannot open the display\n");
        return 2;
    }
    // Every window mapped as a child of the root: without a window manager, the program's
    // top-level windows are exactly those.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const double started = Seconds(CLOCK_MONOTONIC);
    const pid_t pid = fork();
    if (pid == 0) {
        // The program's own output would mix with the figures.
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    if (pid < 0) {
        std::perror("start_probe: fork");
        return 2;
    }

    const double deadline = started + 30;
    double mapped = -1;
    double lastCpu = 0;
    double lastChange = 0;
    const int xfd = ConnectionNumber(display);
    for (;;) {
        const double now = Seconds(CLOCK_MONOTONIC);
        if (now > deadline || Exited(pid)) {
            std::fprintf(stderr, "start_probe: %s %s\n", argv[1],
                         mapped < 0 ? "mapped no window" : "ended before it was idle");
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return 1;
        }
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect && mapped < 0) {
                mapped = Seconds(CLOCK_MONOTONIC) - started;
            }
        }
        const double cpu = CpuSeconds(pid);
        if (cpu > lastCpu + 0.001) {
            lastCpu = cpu;
            lastChange = now;
        }
        if (mapped >= 0 && now - lastChange > 0.3) {
            break;
        }
        pollfd wait{xfd, POLLIN, 0};
        poll(&wait, 1, 2);
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(display);

    const double cpuMs = lastCpu * 1000;
    const double mappedMs = mapped * 1000;
    std::printf("mapped_ms=%.1f cpu_ms=%.1f start_ms=%.1f\n", mappedMs, cpuMs,
                mappedMs > cpuMs ? mappedMs : cpuMs);
    return 0;
}
