// Where the settings layer keeps its files: the whole-file steps of reading, replacing and
// locking a settings file, routed through this table so that a fuzzer can keep the file in
// memory and a test can see every step.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace norvane {

struct SettingsStorage {
    std::string (*readRegularFile)(const std::string& path);
    void (*writeWholeFile)(std::string_view text, const std::string& path);
    void (*removeStaleTemporaries)(const std::string& path, int64_t minimumAgeSeconds);
    // Takes the lock beside `path` and gives a handle for unlock; -1 when it cannot.
    int (*lock)(const std::string& path);
    void (*unlock)(const std::string& path, int handle);
};

// The table in use: the files on disk unless a test or fuzzer put its own steps in.
SettingsStorage& Storage();
void ResetStorage();

// The storage's lock on a settings file, held while the object lives. Throws FileError when
// it cannot be had.
class StorageLock {
  public:
    explicit StorageLock(const std::string& path);
    StorageLock(const StorageLock&) = delete;
    StorageLock& operator=(const StorageLock&) = delete;
    ~StorageLock();

  private:
    std::string path_;
    int handle_;
};

}  // namespace norvane
