#include "base/whole_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_descriptor.h"

namespace norvane {

namespace {

int MayAccess(const char* path, int mode) {
    return ::faccessat(AT_FDCWD, path, mode, AT_EACCESS);
}

constexpr FileSystemHooks kSystemHooks{&::write, &::fsync, &::rename, &MayAccess};
FileSystemHooks g_hooks = kSystemHooks;

// How long a writer waits for another writer's lock before it gives up: far longer than any
// replacement takes, short enough that a stuck lock does not hang the program.
constexpr auto kLockPatience = std::chrono::seconds(10);
constexpr auto kLockRetry = std::chrono::milliseconds(5);

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

// The file that a write to `path` replaces: what a link points at, not the link itself.
std::filesystem::path ReplacedFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::path target(path);
    if (std::filesystem::is_symlink(target, ec)) {
        const std::filesystem::path resolved = std::filesystem::canonical(target, ec);
        if (!ec) {
            target = resolved;
        }
    }
    return target;
}

std::filesystem::path FolderOf(const std::filesystem::path& target) {
    return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

// Temporary files are named "." + the file's name + "." + six letters or digits (mkstemp's
// suffix), so that they are hidden and can be told apart from every other file.
std::string TemporaryPrefix(const std::filesystem::path& target) {
    // Built by appending: GCC 12 warns (-Wrestrict, a false alarm) on "." + std::string&&.
    std::string prefix(1, '.');
    prefix += target.filename().string();
    prefix += '.';
    return prefix;
}
constexpr size_t kTemporarySuffixLength = 6;

bool IsTemporaryName(std::string_view name, std::string_view prefix) {
    if (name.size() != prefix.size() + kTemporarySuffixLength ||
        name.substr(0, prefix.size()) != prefix) {
        return false;
    }
    for (const char c : name.substr(prefix.size())) {
        const bool alphanumeric =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!alphanumeric) {
            return false;
        }
    }
    return true;
}

std::string LockPathFor(const std::string& path) {
    return ReplacedFile(path).string() + ".lock";
}

// Whether `fd` is still the file that `lockPath` names: the holder before us may have removed
// it while we waited, and a lock on a removed file keeps nobody out.
bool StillNamed(int fd, const std::string& lockPath) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::stat(lockPath.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace

int TakeFileLock(const std::string& path) {
    const std::string lockPath = LockPathFor(path);
    const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
    for (;;) {
        // Read-only is enough for flock, so a lock file that another user made serves everyone
        // who may write the folder; non-blocking, so that a FIFO of that name cannot hang us.
        const int fd =
            ::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
        if (fd < 0) {
            return -1;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            if (StillNamed(fd, lockPath)) {
                return fd;
            }
        } else if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(fd);
            return -1;
        }
        ::close(fd);
        if (std::chrono::steady_clock::now() > deadline) {
            return -1;
        }
        std::this_thread::sleep_for(kLockRetry);
    }
}

// The lock file goes with the lock, so that no stray file stays in the settings folder; a
// writer that waited on it sees that it was removed and takes a new one.
void ReleaseFileLock(const std::string& path, int handle) {
    if (handle >= 0) {
        ::unlink(LockPathFor(path).c_str());
        ::close(handle);  // closing the only descriptor releases the lock
    }
}

RegularFileReader::RegularFileReader(const std::string& path)
    : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)) {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        const int error = fd_ < 0 ? errno : 0;
        if (fd_ >= 0) {
            ::close(fd_);
        }
        throw FileError(error);
    }
    size_ = static_cast<uint64_t>(info.st_size);
}

RegularFileReader::~RegularFileReader() {
    ::close(fd_);
}

size_t RegularFileReader::Read(char* buffer, size_t count) {
    if (begin_ < end_) {
        const size_t n = std::min(count, end_ - begin_);
        std::copy(buffer_ + begin_, buffer_ + begin_ + n, buffer);
        begin_ += n;
        return n;
    }
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, count);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw FileError(errno);
        }
        return static_cast<size_t>(got);
    }
}

bool RegularFileReader::Get(char& c) {
    if (begin_ == end_) {
        begin_ = 0;
        end_ = 0;
        end_ = Read(buffer_, sizeof buffer_);
        if (end_ == 0) {
            return false;
        }
    }
    c = buffer_[begin_++];
    return true;
}

FileLock::FileLock(const std::string& path) : path_(path), handle_(TakeFileLock(path)) {
    if (handle_ < 0) {
        throw FileError();
    }
}

FileLock::~FileLock() {
    ReleaseFileLock(path_, handle_);
}

FileSystemHooks& FileHooks() {
    return g_hooks;
}
void ResetFileHooks() {
    g_hooks = kSystemHooks;
}

namespace {

std::string ReadAll(RegularFileReader& file) {
    const auto size = static_cast<size_t>(file.Size());
    std::string bytes(size, '\0');  // std::string keeps the terminating NUL behind the data
    size_t done = 0;
    while (done < size) {
        const size_t got = file.Read(bytes.data() + done, size - done);
        if (got == 0) {
            throw FileError();  // the file shrank under us
        }
        done += got;
    }
    return bytes;
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
    RegularFileReader file(path);
    // Empty files are refused like missing ones; a size that does not fit 32 bits cannot be
    // held by the readers.
    if (file.Size() == 0 || file.Size() > UINT32_MAX) {
        throw FileError();
    }
    return ReadAll(file);
}

std::string ReadRegularFile(const std::string& path) {
    RegularFileReader file(path);
    if (file.Size() > UINT32_MAX) {
        throw FileError();
    }
    return ReadAll(file);
}

void WriteWholeFile(std::string_view text, const std::string& path) {
    const std::filesystem::path target = ReplacedFile(path);
    // The rename below would replace a file that only its folder's rights let us touch; a file
    // the user may not write (a read-only project, say) is refused, as a plain write would be.
    std::error_code ec;
    if (std::filesystem::exists(target, ec) && g_hooks.access(target.c_str(), W_OK) != 0) {
        throw FileError(errno);
    }
    std::string temporary = (FolderOf(target) / (TemporaryPrefix(target) + "XXXXXX")).string();

    FileDescriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0) {
        throw FileError(errno);
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
        const int error = errno;  // before the clean-up can change it
        ::unlink(temporary.c_str());
        throw FileError(error);
    }
}

void RemoveStaleTemporaries(const std::string& path, int64_t minimumAgeSeconds) {
    const std::filesystem::path target = ReplacedFile(path);
    const std::string prefix = TemporaryPrefix(target);
    const auto now = static_cast<int64_t>(std::time(nullptr));
    std::error_code ec;
    std::filesystem::directory_iterator entries(FolderOf(target), ec);
    for (; !ec && entries != std::filesystem::directory_iterator(); entries.increment(ec)) {
        const std::filesystem::path& candidate = entries->path();
        if (!IsTemporaryName(candidate.filename().string(), prefix)) {
            continue;
        }
        struct stat info {};
        if (::lstat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            now - static_cast<int64_t>(info.st_mtime) > minimumAgeSeconds) {
            ::unlink(candidate.c_str());
        }
    }
}

}  // namespace norvane
