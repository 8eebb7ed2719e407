#include "base/md5_digest.h"

#include <algorithm>
#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norvane {

namespace {

// A start checks the catalog's digest: with 4 KiB reads a 20 MB catalog took 4800 system calls
// and digest updates; 64 KiB takes a sixteenth of them, and MD5 itself is then nearly all.
constexpr size_t kChunkSize = size_t{64} << 10;

// Closes a descriptor when it goes out of scope.
class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const std::string& path)
        // Non-blocking, so that a FIFO of that name cannot hang the open; regular files do
        // not notice the flag.
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

void Md5Digest::ContextDeleter::operator()(evp_md_ctx_st* context) const {
    EVP_MD_CTX_free(context);
}

Md5Digest::Md5Digest() : context_(EVP_MD_CTX_new()) {
    if (!context_ || EVP_DigestInit_ex(context_.get(), EVP_md5(), nullptr) != 1) {
        throw DigestError();
    }
}

Md5Digest::~Md5Digest() = default;

void Md5Digest::Update(const void* bytes, uint32_t length) {
    if (finished_ || (bytes == nullptr && length != 0)) {
        throw DigestError();
    }
    if (length != 0 && EVP_DigestUpdate(context_.get(), bytes, length) != 1) {
        throw DigestError();
    }
}

std::string Md5Digest::HexDigest() {
    if (finished_) {
        throw DigestError();
    }
    finished_ = true;
    unsigned char value[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_DigestFinal_ex(context_.get(), value, &size) != 1) {
        throw DigestError();
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(size_t{2} * size);
    for (unsigned int i = 0; i < size; ++i) {
        text += kDigits[value[i] >> 4];
        text += kDigits[value[i] & 0x0f];
    }
    return text;
}

std::string Md5Digest::DigestOf(const void* bytes, uint32_t length) {
    Md5Digest digest;
    digest.Update(bytes, length);
    return digest.HexDigest();
}

std::string Md5Digest::DigestOf(std::string_view text) {
    Md5Digest digest;
    // Update takes 32-bit lengths; texts beyond 4 GiB go in slices.
    while (!text.empty()) {
        const size_t slice = std::min<size_t>(text.size(), UINT32_MAX);
        digest.Update(text.data(), static_cast<uint32_t>(slice));
        text.remove_prefix(slice);
    }
    return digest.HexDigest();
}

std::optional<std::string> FileMd5(const std::string& path) {
    ReadOnlyFile file(path);
    struct stat info {};
    // Folders, devices and pipes have no digest worth comparing (and some never end).
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    Md5Digest digest;
    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(kChunkSize);
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer.get(), kChunkSize);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        digest.Update(buffer.get(), static_cast<uint32_t>(got));
        if (got == 0) {
            break;
        }
    }
    return digest.HexDigest();
}

bool DigestMatches(std::string_view bytes, std::string_view expected) {
    return Md5Digest::DigestOf(bytes) == expected;
}

bool FileDigestMatches(const std::string& path, std::string_view expected) {
    const std::optional<std::string> digest = FileMd5(path);
    return digest.has_value() && *digest == expected;
}

}  // namespace norvane
