#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "secure/Crypto.h"

// The host's side of the primitives: OpenSSL's libcrypto, byte for byte what
// the program's CryptoAPI gives.
namespace crypto {

namespace {

// AES-256-CBC over `length` bytes of `buffer` into a scratch buffer, copied back on success.
bool runCipher(bool encrypt, const std::uint8_t keyMaterial[KEY_MATERIAL_SIZE], std::uint8_t* buffer,
               std::size_t& length) {
    if (length > INT_MAX - BLOCK_SIZE) return false;
    std::uint8_t key[DIGEST_SIZE];
    if (!sha256Of(keyMaterial, KEY_MATERIAL_SIZE, key)) return false;
    const std::uint8_t iv[BLOCK_SIZE] = {};
    std::vector<std::uint8_t> out(length + BLOCK_SIZE);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    int written = 0;
    int last = 0;
    const bool ok = ctx && EVP_CipherInit_ex(ctx, EVP_aes_256_cbc(), nullptr, key, iv, encrypt ? 1 : 0) == 1 &&
                    EVP_CipherUpdate(ctx, out.data(), &written, buffer, static_cast<int>(length)) == 1 &&
                    EVP_CipherFinal_ex(ctx, out.data() + written, &last) == 1;
    EVP_CIPHER_CTX_free(ctx);
    wipe(key, sizeof key);
    if (ok) {
        length = static_cast<std::size_t>(written + last);
        std::copy(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(length), buffer);
    }
    wipe(out.data(), out.size());
    return ok;
}

}  // namespace

bool sha256Of(const void* bytes, std::size_t length, std::uint8_t digest[DIGEST_SIZE]) {
    unsigned int size = 0;
    return EVP_Digest(bytes, length, digest, &size, EVP_sha256(), nullptr) == 1 && size == DIGEST_SIZE;
}

bool encryptBuffer(const std::uint8_t keyMaterial[KEY_MATERIAL_SIZE], std::uint8_t* buffer, std::size_t& length,
                   std::size_t capacity) {
    if (capacity < paddedLength(length)) return false;
    return runCipher(true, keyMaterial, buffer, length);
}

bool decryptBuffer(const std::uint8_t keyMaterial[KEY_MATERIAL_SIZE], std::uint8_t* buffer, std::size_t& length) {
    if (length == 0 || length % BLOCK_SIZE != 0) return false;
    return runCipher(false, keyMaterial, buffer, length);
}

bool randomBytes(void* buffer, std::size_t length) {
    return length <= INT_MAX && RAND_bytes(static_cast<unsigned char*>(buffer), static_cast<int>(length)) == 1;
}

void wipe(void* buffer, std::size_t length) {
    if (buffer && length) OPENSSL_cleanse(buffer, length);
}

}  // namespace crypto
