#include <windows.h>
#include <wincrypt.h>

#include "secure/Crypto.h"

// CryptoAPI: every primitive acquires its own verify-only context, makes its
// hash and key, and releases them in reverse order before it returns.
namespace crypto {

namespace {

// A 256-bit key length in the high word, and no salt.
const DWORD DERIVE_FLAGS = 0x01000010;

struct Context {
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    HCRYPTKEY key = 0;
    Context() { CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT); }
    ~Context() {
        if (key) CryptDestroyKey(key);
        if (hash) CryptDestroyHash(hash);
        if (provider) CryptReleaseContext(provider, 0);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    bool hashOf(const void* bytes, std::size_t length) {
        return provider && CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash) &&
               CryptHashData(hash, static_cast<const BYTE*>(bytes), static_cast<DWORD>(length), 0);
    }
    // The AES key derived from a SHA-256 hash of the key material.
    bool deriveKey(const std::uint8_t keyMaterial[KEY_MATERIAL_SIZE]) {
        return hashOf(keyMaterial, KEY_MATERIAL_SIZE) &&
               CryptDeriveKey(provider, CALG_AES_256, hash, DERIVE_FLAGS, &key);
    }
};

}  // namespace

bool sha256Of(const void* bytes, std::size_t length, std::uint8_t digest[DIGEST_SIZE]) {
    Context c;
    DWORD size = DIGEST_SIZE;
    return c.hashOf(bytes, length) && CryptGetHashParam(c.hash, HP_HASHVAL, digest, &size, 0) && size == DIGEST_SIZE;
}

bool encryptBuffer(const std::uint8_t keyMaterial[KEY_MATERIAL_SIZE], std::uint8_t* buffer, std::size_t& length,
                   std::size_t capacity) {
    if (capacity < paddedLength(length) || capacity > MAXDWORD) return false;
    Context c;
    DWORD size = static_cast<DWORD>(length);
    if (!c.deriveKey(keyMaterial) || !CryptEncrypt(c.key, 0, TRUE, 0, buffer, &size, static_cast<DWORD>(capacity)))
        return false;
    length = size;
    return true;
}

bool decryptBuffer(const std::uint8_t keyMaterial[KEY_MATERIAL_SIZE], std::uint8_t* buffer, std::size_t& length) {
    if (length == 0 || length % BLOCK_SIZE != 0 || length > MAXDWORD) return false;
    Context c;
    DWORD size = static_cast<DWORD>(length);
    if (!c.deriveKey(keyMaterial) || !CryptDecrypt(c.key, 0, TRUE, 0, buffer, &size)) return false;
    length = size;
    return true;
}

bool randomBytes(void* buffer, std::size_t length) {
    Context c;
    return c.provider && length <= MAXDWORD &&
           CryptGenRandom(c.provider, static_cast<DWORD>(length), static_cast<BYTE*>(buffer));
}

void wipe(void* buffer, std::size_t length) {
    if (buffer && length) SecureZeroMemory(buffer, length);
}

}  // namespace crypto
