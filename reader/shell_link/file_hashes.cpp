// SPDX-License-Identifier: MIT
#include "shell_link/file_hashes.h"

#include <errno.h>
#include <unistd.h>

#include <array>
#include <memory>

#ifdef SHORTCUT_WITH_LIBCRYPTO
#include <openssl/evp.h>
#endif

namespace shell_link {

#ifdef SHORTCUT_WITH_LIBCRYPTO

bool HashesAvailable() { return true; }

namespace detail {

namespace {

struct Algorithm {
    FileHash bit;
    const char* name;  // as OpenSSL's default provider knows it
    std::optional<std::string> LinkFile::*field;
};
constexpr std::array<Algorithm, 3> kAlgorithms = {{
    {kHashMd5, "MD5", &LinkFile::md5},
    {kHashSha1, "SHA1", &LinkFile::sha1},
    {kHashSha256, "SHA256", &LinkFile::sha256},
}};

struct MdFree {
    void operator()(EVP_MD* md) const { EVP_MD_free(md); }
};
struct ContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using Context = std::unique_ptr<EVP_MD_CTX, ContextFree>;

// Fetched once for the process: an implicit fetch at every hash costs more than hashing
// a small link.
const EVP_MD* Digest(std::size_t index) {
    static const std::array<std::unique_ptr<EVP_MD, MdFree>, 3> digests = [] {
        std::array<std::unique_ptr<EVP_MD, MdFree>, 3> fetched;
        for (std::size_t i = 0; i < kAlgorithms.size(); ++i) {
            fetched[i].reset(EVP_MD_fetch(nullptr, kAlgorithms[i].name, nullptr));
        }
        return fetched;
    }();
    return digests[index].get();
}

std::string Hex(const unsigned char* digest, unsigned int size) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(std::size_t{size} * 2);
    for (unsigned int i = 0; i < size; ++i) {
        text += kDigits[digest[i] >> 4];
        text += kDigits[digest[i] & 0x0F];
    }
    return text;
}

// Feeds what fd holds from offset to its end to every context; false when a read fails.
bool UpdateFromFile(int fd, std::uint64_t offset, const std::array<Context, 3>& contexts) {
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    const std::unique_ptr<unsigned char[]> chunk(new unsigned char[kChunk]);
    for (;;) {
        const ssize_t got = pread(fd, chunk.get(), kChunk, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0;
        }
        for (const Context& context : contexts) {
            if (context && EVP_DigestUpdate(context.get(), chunk.get(), static_cast<std::size_t>(got)) != 1) {
                return false;
            }
        }
        offset += static_cast<std::uint64_t>(got);
    }
}

}  // namespace

void HashFile(const unsigned char* bytes, std::size_t size, int fd, bool rest, unsigned hashes, LinkFile& file) {
    std::array<Context, 3> contexts;
    for (std::size_t i = 0; i < kAlgorithms.size(); ++i) {
        const EVP_MD* digest = (hashes & kAlgorithms[i].bit) != 0 ? Digest(i) : nullptr;
        if (digest == nullptr) {
            continue;
        }
        contexts[i].reset(EVP_MD_CTX_new());
        if (contexts[i] && (EVP_DigestInit_ex(contexts[i].get(), digest, nullptr) != 1 ||
                            EVP_DigestUpdate(contexts[i].get(), bytes, size) != 1)) {
            contexts[i].reset();
        }
    }
    if (rest && !UpdateFromFile(fd, size, contexts)) {
        return;
    }
    for (std::size_t i = 0; i < kAlgorithms.size(); ++i) {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (contexts[i] && EVP_DigestFinal_ex(contexts[i].get(), digest, &length) == 1) {
            file.*kAlgorithms[i].field = Hex(digest, length);
        }
    }
}

}  // namespace detail

#else

bool HashesAvailable() { return false; }

namespace detail {

void HashFile(const unsigned char*, std::size_t, int, bool, unsigned, LinkFile&) {}

}  // namespace detail

#endif

}  // namespace shell_link
