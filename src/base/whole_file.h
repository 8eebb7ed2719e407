// Whole-file reading and writing for the tool's XML files, and the safe replacement of a file
// that every writer of the program uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace norvane {

// A file could not be read or written. It carries no text on purpose: each caller reports the
// failure with its own message, and may say why from the system's error number (0 when the
// failure was none of the system's, such as an empty file).
class FileError : public std::exception {
  public:
    explicit FileError(int error = 0) : error_(error) {}
    int Error() const { return error_; }
    const char* what() const noexcept override { return "file error"; }

  private:
    int error_;
};

// A regular file opened for reading, read byte by byte through a small buffer. Anything else
// is refused with FileError when it is opened: a FIFO without a writer would block a reader
// forever, a device may never end, and a folder has no bytes. The open itself never blocks.
class RegularFileReader {
  public:
    explicit RegularFileReader(const std::string& path);
    RegularFileReader(const RegularFileReader&) = delete;
    RegularFileReader& operator=(const RegularFileReader&) = delete;
    ~RegularFileReader();

    // The file's size when it was opened.
    uint64_t Size() const { return size_; }
    // The next byte; false at the end of the file. A read error throws FileError.
    bool Get(char& c);
    // Up to `count` bytes into `buffer`; 0 at the end of the file. A read error throws.
    size_t Read(char* buffer, size_t count);

  private:
    int fd_ = -1;
    uint64_t size_ = 0;
    char buffer_[4096];
    size_t begin_ = 0;
    size_t end_ = 0;
};

// The whole file. Fails for a missing, unreadable or empty file, for anything that is not a
// regular file, for a file of 4 GiB or more, and for a short read.
std::string ReadWholeFile(const std::string& path);

// The whole of a regular file, which may be empty. Fails like ReadWholeFile otherwise.
std::string ReadRegularFile(const std::string& path);

// Replaces the file at `path` with `text`: the bytes go to a temporary file in the same folder,
// which is flushed to disk and then renamed over the old file, so a failed write never leaves
// a truncated file behind. Fails when the folder cannot be written or a write fails.
void WriteWholeFile(std::string_view text, const std::string& path);

// Removes the temporary files that WriteWholeFile made for `path` and that are older than
// `minimumAgeSeconds`: what a writer left behind when it was killed before its rename. Other
// files, and temporaries of a writer that may still be at work, are left alone.
void RemoveStaleTemporaries(const std::string& path, int64_t minimumAgeSeconds);

// An advisory lock on the file "<path>.lock" beside `path` (the file itself is replaced by
// every write, so it cannot carry the lock), held until the object goes; the lock file is
// removed with it. Writers that each read, change and replace the file take it around all
// three steps, so that none of them replaces the file with a text that misses another's
// change. Throws FileError when the lock file cannot be made or the lock is not free within a
// few seconds.
class FileLock {
  public:
    explicit FileLock(const std::string& path);
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

  private:
    std::string path_;
    int handle_ = -1;
};

// The lock of FileLock as two steps: TakeFileLock gives a handle for ReleaseFileLock, or -1
// when the lock cannot be had within a few seconds.
int TakeFileLock(const std::string& path);
void ReleaseFileLock(const std::string& path, int handle);

// The system calls behind WriteWholeFile, routed through this table so that tests can fake a
// full disk, a failing rename or a file they may not write.
struct FileSystemHooks {
    ssize_t (*write)(int fd, const void* buffer, size_t count);
    int (*fsync)(int fd);
    int (*rename)(const char* from, const char* to);
    // faccessat with AT_EACCESS: whether this process may write the file.
    int (*access)(const char* path, int mode);
};
FileSystemHooks& FileHooks();
void ResetFileHooks();

}  // namespace norvane
