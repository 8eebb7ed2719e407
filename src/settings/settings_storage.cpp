#include "settings/settings_storage.h"

#include "base/whole_file.h"

namespace norvane {

namespace {

constexpr SettingsStorage kFiles{&ReadRegularFile, &WriteWholeFile, &RemoveStaleTemporaries,
                                 &TakeFileLock, &ReleaseFileLock};
SettingsStorage g_storage = kFiles;

}  // namespace

SettingsStorage& Storage() {
    return g_storage;
}

void ResetStorage() {
    g_storage = kFiles;
}

StorageLock::StorageLock(const std::string& path) : path_(path), handle_(g_storage.lock(path)) {
    if (handle_ < 0) {
        throw FileError();
    }
}

StorageLock::~StorageLock() {
    g_storage.unlock(path_, handle_);
}

}  // namespace norvane
