#include "secure/PageCrypt.h"

#include <algorithm>
#include <cstring>

#include "secure/SecretBuffer.h"

namespace pagecrypt {

namespace {

// SHA-256 of the password `copies` times in a row, followed by the salt.
bool hashWithSalt(const char* password, std::size_t length, int copies, const std::uint8_t salt[SALT_SIZE],
                  std::uint8_t out[crypto::DIGEST_SIZE]) {
    SecretBuffer work(length * copies + SALT_SIZE);
    std::uint8_t* at = work.data();
    for (int i = 0; i < copies; ++i, at += length) std::memcpy(at, password, length);
    std::memcpy(at, salt, SALT_SIZE);
    return crypto::sha256Of(work.data(), work.size(), out);
}

// Compares all 32 bytes, whatever the first difference.
bool sameDigest(const std::uint8_t* a, const std::uint8_t* b) {
    std::uint8_t difference = 0;
    for (std::size_t i = 0; i < crypto::DIGEST_SIZE; ++i) difference |= a[i] ^ b[i];
    return difference == 0;
}

}  // namespace

void KeyMaterial::clear() {
    crypto::wipe(bytes_, sizeof bytes_);
    set_ = false;
}

bool KeyMaterial::derive(const char* password, std::size_t length, const std::uint8_t salt[SALT_SIZE]) {
    std::uint8_t digest[crypto::DIGEST_SIZE];
    const bool ok = hashWithSalt(password, length, 2, salt, digest);
    if (ok) {
        std::memcpy(bytes_, digest, sizeof bytes_);
        set_ = true;
    }
    crypto::wipe(digest, sizeof digest);
    return ok;
}

bool passwordCheckValue(const char* password, std::size_t length, const std::uint8_t salt[SALT_SIZE],
                        std::uint8_t out[crypto::DIGEST_SIZE]) {
    return hashWithSalt(password, length, 1, salt, out);
}

bool registerPassword(DataFileHeader& header, const char* password, std::size_t length, KeyMaterial& key) {
    std::uint8_t salt[SALT_SIZE];
    std::uint8_t check[crypto::DIGEST_SIZE];
    if (!crypto::randomBytes(salt, sizeof salt) || !passwordCheckValue(password, length, salt, check) ||
        !key.derive(password, length, salt))
        return false;
    std::memset(header.checkValue, 0, sizeof header.checkValue);
    std::memcpy(header.checkValue, check, sizeof check);
    std::memcpy(header.salt, salt, sizeof salt);
    header.passwordRegistered = 1;
    return true;
}

bool checkPassword(const DataFileHeader& header, const char* password, std::size_t length, KeyMaterial& key) {
    std::uint8_t check[crypto::DIGEST_SIZE];
    const bool right = passwordCheckValue(password, length, header.salt, check) && sameDigest(check, header.checkValue);
    crypto::wipe(check, sizeof check);
    return right && key.derive(password, length, header.salt);
}

bool encryptPage(PageRecord& record, const KeyMaterial& key) {
    if (!key.isSet()) return false;
    // a page made secure may still have its text at its place in the data file
    if (record.text.empty() && hasTextPlace(record) && !loadText(record, record.text)) return false;
    // the text as a C string: what follows a NUL is not part of the page
    const std::size_t n = std::strlen(record.text.c_str()) + 1;
    SecretBuffer work(crypto::paddedLength(n));
    std::memcpy(work.data(), record.text.c_str(), n);
    std::uint8_t digest[crypto::DIGEST_SIZE];
    std::size_t length = n;
    if (!crypto::sha256Of(work.data(), n - 1, digest) ||
        !crypto::encryptBuffer(key.bytes(), work.data(), length, work.size()))
        return false;
    std::memcpy(record.textHash.data(), digest, sizeof digest);
    setCipher(record, work.data(), length);
    wipeString(record.text);
    if (hasTextPlace(record)) record.place = TextPlace();
    return true;
}

bool decryptPage(PageRecord& record, const KeyMaterial& key, bool dropCipher) {
    if (!key.isSet() || cipherSize(record) == 0) return false;
    SecretBuffer work(cipherSize(record));
    std::size_t length = readCipher(record, work.data());
    if (length == 0) return false;  // its place cannot be read
    std::uint8_t digest[crypto::DIGEST_SIZE];
    if (!crypto::decryptBuffer(key.bytes(), work.data(), length)) return false;
    const char* plain = reinterpret_cast<const char*>(work.data());
    const std::size_t textLength = static_cast<std::size_t>(std::find(plain, plain + length, '\0') - plain);
    if (!crypto::sha256Of(plain, textLength, digest) || !sameDigest(digest, record.textHash.data())) return false;
    wipeString(record.text);
    record.text.assign(plain, textLength);
    if (dropCipher) clearCipher(record);
    return true;
}

void wipeString(std::string& text) {
    text.resize(text.capacity());
    if (!text.empty()) crypto::wipe(&text[0], text.size());
    text.clear();
}

}  // namespace pagecrypt
