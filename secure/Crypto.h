// The cryptographic primitives of secure pages, behind one small interface:
// the platform's CryptoAPI in the program (CryptoWin.cpp), OpenSSL's libcrypto
// on the host (CryptoOpenSslHost.cpp). Both give the same bytes:
//   - SHA-256;
//   - AES-256 in CBC mode with an all-zero IV and PKCS#7 padding, whose key is
//     the SHA-256 digest of the 32 bytes of key material (what CryptDeriveKey
//     makes of a SHA-256 hash for CALG_AES_256 without salt).
// Every call sets up and tears down what it needs; nothing survives between
// calls. After a false result a working buffer holds nothing usable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace crypto {

constexpr std::size_t DIGEST_SIZE = 32;
constexpr std::size_t KEY_MATERIAL_SIZE = 32;
constexpr std::size_t BLOCK_SIZE = 16;

// The ciphertext length of n plaintext bytes: padding always adds 1 to 16 bytes.
constexpr std::size_t paddedLength(std::size_t n) { return BLOCK_SIZE * (n / BLOCK_SIZE + 1); }

// One-shot SHA-256 of `length` bytes.
bool sha256Of(const void* bytes, std::size_t length, std::uint8_t digest[DIGEST_SIZE]);

// Encrypts the first `length` bytes of `buffer` in place; `length` becomes the
// ciphertext length. `capacity` must hold paddedLength(length), else false.
bool encryptBuffer(const std::uint8_t keyMaterial[KEY_MATERIAL_SIZE], std::uint8_t* buffer, std::size_t& length,
                   std::size_t capacity);

// Decrypts `length` bytes in place and removes the padding; `length` becomes
// the plaintext length. False for a wrong key or damaged bytes (bad padding,
// a length that is not whole blocks).
bool decryptBuffer(const std::uint8_t keyMaterial[KEY_MATERIAL_SIZE], std::uint8_t* buffer, std::size_t& length);

// Bytes from the platform's cryptographic random generator.
bool randomBytes(void* buffer, std::size_t length);

// Overwrites memory with zeros in a way the compiler may not drop.
void wipe(void* buffer, std::size_t length);

}  // namespace crypto
