// MD5 digests (RFC 1321) as 32 lowercase hexadecimal digits: the form in which the settings
// file and the project files store the expected digests of the catalog, the language packs and
// a project's content.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct evp_md_ctx_st;  // OpenSSL's EVP_MD_CTX, kept out of this header

namespace norvane {

// The digest facility failed. No text of its own: each caller reports it its own way.
class DigestError : public std::exception {
  public:
    const char* what() const noexcept override { return "digest error"; }
};

// One MD5 computation: created, fed, asked for its digest once. Every failure of the
// underlying library raises DigestError, and so does a second HexDigest or an Update after it.
class Md5Digest {
  public:
    Md5Digest();
    Md5Digest(const Md5Digest&) = delete;
    Md5Digest& operator=(const Md5Digest&) = delete;
    ~Md5Digest();

    // Feeds `length` bytes; a length of 0 changes nothing (and `bytes` may then be null).
    void Update(const void* bytes, uint32_t length);
    // Completes the computation: 32 lowercase hexadecimal digits.
    std::string HexDigest();

    // The digest of the given bytes in one call.
    static std::string DigestOf(const void* bytes, uint32_t length);
    static std::string DigestOf(std::string_view text);

  private:
    struct ContextDeleter {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, ContextDeleter> context_;
    bool finished_ = false;
};

// The digest of the whole file, read in chunks of 64 KiB; nothing when the file is
// missing, is not a regular file or cannot be read. An empty file has the digest of empty
// input.
std::optional<std::string> FileMd5(const std::string& path);

// True when the digest of `bytes` equals `expected` exactly (as FileDigestMatches compares).
bool DigestMatches(std::string_view bytes, std::string_view expected);

// True when the file's digest equals `expected` exactly: same length, same characters,
// case-sensitive, no blanks removed. A missing or unreadable file gives false; only a failure
// of the digest facility raises DigestError.
bool FileDigestMatches(const std::string& path, std::string_view expected);

}  // namespace norvane
