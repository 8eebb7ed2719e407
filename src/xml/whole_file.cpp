#include "xml/whole_file.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norvane {

namespace {

constexpr FileSystemHooks kSystemHooks{&::write, &::fsync, &::rename};
FileSystemHooks g_hooks = kSystemHooks;

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }
    int get() const { return fd_; }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = g_hooks.write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

FileSystemHooks& FileHooks() {
    return g_hooks;
}
void ResetFileHooks() {
    g_hooks = kSystemHooks;
}

std::string ReadWholeFile(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        throw FileError();
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode) || info.st_size <= 0 ||
        static_cast<uint64_t>(info.st_size) > UINT32_MAX) {
        // Empty files are refused like missing ones; a size that does not fit 32 bits cannot
        // be held by the readers.
        throw FileError();
    }
    const size_t size = static_cast<size_t>(info.st_size);
    std::string bytes(size, '\0');  // std::string keeps the terminating NUL behind the data
    size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(file.get(), bytes.data() + done, size - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            throw FileError();  // read error, or the file shrank under us
        }
        done += static_cast<size_t>(got);
    }
    return bytes;
}

void WriteWholeFile(std::string_view text, const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(path);
    // Replace what a link points at, not the link itself.
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::canonical(target, ec);
        if (!ec) {
            target = resolved;
        }
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();

    FileDescriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0) {
        throw FileError();
    }
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    const mode_t mode = existed ? (old.st_mode & 07777) : [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    const bool ok = ::fchmod(file.get(), mode) == 0 && WriteAll(file.get(), text) &&
                    g_hooks.fsync(file.get()) == 0 && file.Close() &&
                    g_hooks.rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        throw FileError();
    }
}

}  // namespace norvane
