// Whole-file reading and writing for the tool's XML files, and the safe replacement of a file
// that every writer of the program uses.
#pragma once

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace norvane {

// A file could not be read or written. It carries no text on purpose: each caller reports the
// failure with its own message.
class FileError : public std::exception {
  public:
    const char* what() const noexcept override { return "file error"; }
};

// The whole file. Fails for a missing, unreadable or empty file, for a file of 4 GiB or more,
// and for a short read.
std::string ReadWholeFile(const std::string& path);

// Replaces the file at `path` with `text`: the bytes go to a temporary file in the same folder,
// which is flushed to disk and then renamed over the old file, so a failed write never leaves
// a truncated file behind. Fails when the folder cannot be written or a write fails.
void WriteWholeFile(std::string_view text, const std::string& path);

// The system calls behind WriteWholeFile, routed through this table so that tests can fake a
// full disk or a failing rename.
struct FileSystemHooks {
    ssize_t (*write)(int fd, const void* buffer, size_t count);
    int (*fsync)(int fd);
    int (*rename)(const char* from, const char* to);
};
FileSystemHooks& FileHooks();
void ResetFileHooks();

}  // namespace norvane
