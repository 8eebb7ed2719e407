// A descriptor of the system's that closes itself: the file readers, the writer's temporary
// file and the single-instance connections all hold theirs this way, so that no early return
// can leak one.
#pragma once

#include <unistd.h>

namespace norvane {

class FileDescriptor {
  public:
    // Takes `fd` over; a negative one (a failed open) holds nothing.
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }

    int get() const { return fd_; }
    // Closes it now; false when the close failed (a write may then not have reached the disk).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

}  // namespace norvane
